#include "qt/frame_element.h"

#include <QPainter>

namespace tarvel {
namespace {

const QColor kFrameColour{0xe0, 0x60, 0x00};
constexpr double kLineWidth = 3;
constexpr double kRadius = 9;

}  // namespace

FrameElement::FrameElement(QWidget* parent, const QRect& place) : QWidget(parent) {
    setGeometry(place);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void FrameElement::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFrameColour, kLineWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = kLineWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kRadius, kRadius);
}

}  // namespace tarvel
