// The key caps on the buttons: the key that clicks a button, from the
// program's key table, in a small white box at the button's right.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include "ui/elements.h"

namespace tarvel::dataset {

// What the cap of `button` says ("1", "BS", "Esc", "F1"); empty when no key clicks it.
QString capText(ElementId button);

// A cap of `text`, `height` px tall, standing `margin` px inside the right
// edge of a button of `size`, centred on its height.
QRectF capBox(QSize size, const QString& text, double height, double margin = 8);

void paintKeyCap(QPainter& p, const QRectF& box, const QString& text, QColor border, QColor ink);

}  // namespace tarvel::dataset
