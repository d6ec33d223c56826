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

// The scale pictures are drawn at: 1 for the files the program reads, 2 for
// their "@2x" twins, which a window shows wherever a picture stands larger
// than its own size. Every picture is drawn in its own pixels; a canvas
// carries the scale as its device pixel ratio, so the same drawing code makes
// both, and a line of one pixel is two pixels wide, not blurred, in the twin.
inline thread_local int currentDrawingScale = 1;

// Draws the pictures made while it lives at `scale`.
class DrawingScale {
public:
    explicit DrawingScale(int scale) : previous_(currentDrawingScale) { currentDrawingScale = scale; }
    ~DrawingScale() { currentDrawingScale = previous_; }
    DrawingScale(const DrawingScale&) = delete;
    DrawingScale& operator=(const DrawingScale&) = delete;

private:
    int previous_;
};

// A canvas of `size` picture pixels at the current scale, filled with `fill`.
inline QImage scaledCanvas(QSize size, QImage::Format format, QColor fill) {
    QImage image(size * currentDrawingScale, format);
    image.setDevicePixelRatio(currentDrawingScale);
    image.fill(fill);
    return image;
}

// A transparent canvas to draw a picture on.
inline QImage blankDrawing(QSize size) {
    return scaledCanvas(size, QImage::Format_ARGB32_Premultiplied, Qt::transparent);
}

// A matte of one colour to paint what lies under a picture on.
inline QImage matteCanvas(QSize size, QColor colour) { return scaledCanvas(size, QImage::Format_RGB32, colour); }

}  // namespace tarvel::dataset
