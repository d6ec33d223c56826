// Pictures of the data set as GIF89a files: a drawing is flattened against
// the background it will be shown on, reduced to an exact palette whose
// index 0 is the one transparent colour, and encoded with giflib.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tarvel::dataset {

// A failure of the builder, with a message that names the file or the font.
class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PalettePicture {
    int width = 0;
    int height = 0;
    // Entry 0 is the transparent slot; entries 1.. are the opaque colours in
    // ascending order; the table is padded with black to a power of two.
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> pixels;  // width x height palette indices, row by row
};

// Pixels whose alpha is below this are transparent; the rest are composited
// over the matte and become opaque.
inline constexpr int kDefaultAlphaThreshold = 48;

// A matte of one colour, for pictures that lie on one background.
QImage solidMatte(QSize size, QColor colour);

// Flattens a drawing (any format with alpha) against `matte`, an opaque
// picture of the same size showing what lies under the drawing on screen.
// Transparent pixels get index 0 and carry the matte's top-left colour.
PalettePicture flatten(const QImage& drawing, const QImage& matte, int alphaThreshold = kDefaultAlphaThreshold);

// The GIF89a bytes of a palette picture, with index 0 marked transparent.
QByteArray encodeGif(const PalettePicture& picture);

// flatten and encodeGif in one.
QByteArray gifBytes(const QImage& drawing, const QImage& matte, int alphaThreshold = kDefaultAlphaThreshold);

}  // namespace tarvel::dataset
