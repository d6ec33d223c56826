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

void FrameElement::setScale(double scale) {
    scale_ = scale;
    update();
}

void FrameElement::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double line = kLineWidth * scale_;
    painter.setPen(QPen(kFrameColour, line));
    painter.setBrush(Qt::NoBrush);
    const double inset = line / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kRadius * scale_, kRadius * scale_);
}

}  // namespace tarvel
