#include "key_caps.h"

#include <QFontMetricsF>

#include <algorithm>

#include "app/keyboard.h"
#include "fonts.h"

namespace tarvel::dataset {
namespace {

// A digit's cap is square; a word's is as wide as the word.
QFont capFont(const QString& text, double height) {
    return japaneseFont(text.size() == 1 ? height * 0.66 : height * 0.55, true);
}

}  // namespace

QString capText(ElementId button) {
    const auto key = keyOf(button);
    if (!key) return {};
    const std::string_view cap = keyCap(*key);
    return QString::fromUtf8(cap.data(), static_cast<qsizetype>(cap.size()));
}

QRectF capBox(QSize size, const QString& text, double height, double margin) {
    const double width = std::max(height, QFontMetricsF(capFont(text, height)).horizontalAdvance(text) + 8);
    return {size.width() - margin - width, (size.height() - height) / 2, width, height};
}

void paintKeyCap(QPainter& p, const QRectF& box, const QString& text, QColor border, QColor ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 4, 4);
    p.setFont(capFont(text, box.height()));
    p.setPen(ink);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

}  // namespace tarvel::dataset
