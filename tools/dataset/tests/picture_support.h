// Reading pictures back the way the program will: through Qt's GIF reader.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "picture.h"

namespace tarvel::dataset::test {

// The finger code alphabets shared with the fingering charts, by system
// folder, in the order L1 L2 L3 L4 L5 R2 R3 R4 R5 ("X" and the empty code
// come on top).
inline const std::map<std::string, std::array<const char*, 9>> kChartAlphabets{
    {"Boe", {"0123", "01AG", "01", "01S", "0EFHCA", "01SF", "01", "01", "0EFHAD"}},
    {"Oeh", {"0123", "01AG", "01", "01S", "0EHCAB", "01S", "01", "01", "0FA"}},
};

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
