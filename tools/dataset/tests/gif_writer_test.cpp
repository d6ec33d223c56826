// The GIF writer: what Qt's reader gets back, the palette giflib sees, and
// that the same drawing always gives the same bytes.
#include <gif_lib.h>

#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

#include "gif_writer.h"
#include "picture.h"
#include "picture_support.h"

namespace tarvel::dataset {
namespace {

using test::readGif;

// The palette and transparent index of a GIF, as giflib decodes it.
struct Decoded {
    std::vector<QRgb> palette;
    int transparentIndex = -1;
    std::vector<GifByteType> pixels;
};

int readBytes(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<std::pair<const QByteArray*, int>*>(gif->UserData);
    const int n = std::min(length, static_cast<int>(source->first->size()) - source->second);
    std::memcpy(out, source->first->constData() + source->second, static_cast<std::size_t>(n));
    source->second += n;
    return n;
}

Decoded decode(const QByteArray& bytes) {
    std::pair<const QByteArray*, int> source{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readBytes, &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    Decoded d;
    if (gif == nullptr) return d;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
        const GifColorType& c = gif->SColorMap->Colors[i];
        d.palette.push_back(qRgb(c.Red, c.Green, c.Blue));
    }
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK) d.transparentIndex = control.TransparentColor;
    const SavedImage& image = gif->SavedImages[0];
    d.pixels.assign(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
    DGifCloseFile(gif, &error);
    return d;
}

QImage canvas(int w, int h) { return blankDrawing(QSize(w, h)); }

// === Transparency survives Qt's reader ===

TEST(GifWriter, ReadBack_TransparentStaysTransparentAndInkStaysExact) {
    QImage drawing = canvas(20, 10);
    QPainter p(&drawing);
    p.fillRect(2, 2, 5, 5, QColor(200, 10, 30));
    p.fillRect(10, 2, 5, 5, QColor(0, 0, 0));
    p.end();
    const QImage back = readGif(gifBytes(drawing, solidMatte(drawing.size(), kWindowGrey)));
    ASSERT_EQ(back.size(), drawing.size());
    EXPECT_TRUE(back.hasAlphaChannel());
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0) << "the background must come back fully transparent";
    EXPECT_EQ(qAlpha(back.pixel(19, 9)), 0);
    EXPECT_EQ(back.pixel(3, 3), qRgba(200, 10, 30, 255));
    EXPECT_EQ(back.pixel(12, 4), qRgba(0, 0, 0, 255));
}

struct EdgeCase {
    int alpha;
    bool visible;
};
class GifWriterEdge : public testing::TestWithParam<EdgeCase> {};

// A half-covered edge pixel of black ink over a white matte: below the
// threshold it vanishes, from it on it is the ink composited over the matte.
TEST_P(GifWriterEdge, PartialAlpha_CompositedOverTheMatteOrDropped) {
    const EdgeCase c = GetParam();
    QImage drawing(4, 1, QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    drawing.setPixel(1, 0, qRgba(0, 0, 0, c.alpha));
    const QImage back = readGif(gifBytes(drawing, solidMatte(drawing.size(), Qt::white)));
    if (!c.visible) {
        EXPECT_EQ(qAlpha(back.pixel(1, 0)), 0);
        EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    } else {
        const int grey = (255 * (255 - c.alpha) + 127) / 255;
        EXPECT_EQ(back.pixel(1, 0), qRgba(grey, grey, grey, 255));
    }
}
INSTANTIATE_TEST_SUITE_P(Thresholds, GifWriterEdge,
                         testing::Values(EdgeCase{1, false}, EdgeCase{kDefaultAlphaThreshold - 1, false},
                                         EdgeCase{kDefaultAlphaThreshold, true}, EdgeCase{128, true},
                                         EdgeCase{254, true}));

TEST(GifWriter, Matte_EachPixelBlendsWithWhatLiesUnderIt) {
    QImage drawing(2, 1, QImage::Format_ARGB32);
    drawing.fill(qRgba(0, 0, 0, 128));
    QImage matte = solidMatte(drawing.size(), Qt::white);
    matte.setPixel(1, 0, qRgb(0, 0, 255));  // a blue line under the right pixel
    const QImage back = readGif(gifBytes(drawing, matte));
    EXPECT_EQ(back.pixel(0, 0), qRgba(127, 127, 127, 255));
    EXPECT_EQ(back.pixel(1, 0), qRgba(0, 0, 127, 255));
}

TEST(GifWriter, Matte_OfAnotherSizeIsRefused) {
    EXPECT_THROW(flatten(canvas(4, 4), solidMatte(QSize(4, 5), Qt::white)), BuildError);
}

// === The palette ===

TEST(GifWriter, Palette_IndexZeroTransparentThenTheColoursInOrder) {
    QImage drawing = canvas(3, 2);
    drawing.setPixel(0, 0, qRgba(9, 9, 9, 255));
    drawing.setPixel(1, 0, qRgba(250, 0, 0, 255));
    drawing.setPixel(2, 0, qRgba(9, 9, 9, 255));
    drawing.setPixel(0, 1, qRgba(0, 0, 250, 255));
    const Decoded d = decode(gifBytes(drawing, solidMatte(drawing.size(), kWindowGrey)));
    EXPECT_EQ(d.transparentIndex, 0);
    ASSERT_EQ(d.palette.size(), 4u) << "three colours and the transparent slot";
    EXPECT_EQ(d.palette[1], qRgb(0, 0, 250));
    EXPECT_EQ(d.palette[2], qRgb(9, 9, 9));
    EXPECT_EQ(d.palette[3], qRgb(250, 0, 0));
    const std::vector<GifByteType> expected{2, 3, 2, 1, 0, 0};
    EXPECT_EQ(d.pixels, expected);
}

struct PaddingCase {
    int colours;
    std::size_t tableSize;
};
class GifWriterPadding : public testing::TestWithParam<PaddingCase> {};

TEST_P(GifWriterPadding, Palette_PaddedWithBlackToAPowerOfTwo) {
    const PaddingCase c = GetParam();
    QImage drawing = canvas(std::max(1, c.colours), 1);
    for (int i = 0; i < c.colours; ++i) drawing.setPixel(i, 0, qRgba(i, 20, 30, 255));
    const Decoded d = decode(gifBytes(drawing, solidMatte(drawing.size(), Qt::white)));
    ASSERT_EQ(d.palette.size(), c.tableSize);
    for (std::size_t i = static_cast<std::size_t>(c.colours) + 1; i < d.palette.size(); ++i)
        EXPECT_EQ(d.palette[i], qRgb(0, 0, 0)) << "padding entry " << i;
}
INSTANTIATE_TEST_SUITE_P(Sizes, GifWriterPadding,
                         testing::Values(PaddingCase{0, 2}, PaddingCase{1, 2}, PaddingCase{2, 4}, PaddingCase{3, 4},
                                         PaddingCase{4, 8}, PaddingCase{127, 128}, PaddingCase{128, 256},
                                         PaddingCase{255, 256}));

TEST(GifWriter, Palette_MoreThan255ColoursAreReducedButStayClose) {
    QImage drawing(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) drawing.setPixel(x, y, qRgba(x * 4, y * 4, (x + y) * 2, 255));
    const QByteArray bytes = gifBytes(drawing, solidMatte(drawing.size(), Qt::white));
    EXPECT_LE(decode(bytes).palette.size(), 256u);
    const QImage back = readGif(bytes);
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 64; x += 7) {
            EXPECT_LE(std::abs(qRed(back.pixel(x, y)) - x * 4), 31);
            EXPECT_LE(std::abs(qGreen(back.pixel(x, y)) - y * 4), 31);
        }
}

// === The file ===

TEST(GifWriter, File_IsGif89aAndTheSameEveryTime) {
    QImage drawing = canvas(30, 30);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(3, 3, 24, 24));
    p.end();
    const QImage matte = solidMatte(drawing.size(), kMixedBackground);
    const QByteArray first = gifBytes(drawing, matte);
    EXPECT_TRUE(first.startsWith("GIF89a"));
    EXPECT_EQ(first, gifBytes(drawing.copy(), matte.copy()));
}

}  // namespace
}  // namespace tarvel::dataset
