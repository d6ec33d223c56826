// Reading pictures back the way the program will: through Qt's GIF reader.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

#include "picture.h"

namespace tarvel::dataset::test {

// Decodes GIF bytes with QImageReader into Format_ARGB32; fails the test on error.
QImage readGif(const QByteArray& bytes);
QImage readGifFile(const QString& path);
// A picture as the builder writes it, read back.
QImage roundTrip(const Picture& picture);

bool opaque(const QImage& image, int x, int y);
// Opaque pixels of `image` that are not opaque in `without` (same size).
std::vector<QPoint> inkNotIn(const QImage& image, const QImage& without);
std::vector<QPoint> ink(const QImage& image);
QRect bounds(const std::vector<QPoint>& points);

}  // namespace tarvel::dataset::test
