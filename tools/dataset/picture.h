// One picture of the data set before it is written: what to draw, what it
// will be shown on, and where it goes.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

#include <string>

namespace tarvel::dataset {

// The window's background, the white message label over its upper middle,
// and the matte for pictures that lie partly on one and partly on the other:
// an edge pixel flattened against it is at most 8 levels off on either.
inline const QColor kWindowGrey{0xef, 0xef, 0xef};
inline const QColor kLabelWhite{0xff, 0xff, 0xff};
inline const QColor kMixedBackground{0xf7, 0xf7, 0xf7};

struct Picture {
    std::string dataPath;  // "system\hyouji\5line.gif"
    QImage drawing;        // Format_ARGB32_Premultiplied
    QImage matte;          // what lies under it on the screen, same size
};

// A transparent canvas to draw a picture on.
inline QImage blankDrawing(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace tarvel::dataset
