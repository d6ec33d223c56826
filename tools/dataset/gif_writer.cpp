#include "gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>

namespace tarvel::dataset {
namespace {

constexpr int kMaxOpaqueColours = 255;  // index 0 is the transparent slot

QRgb reduced(QRgb colour, int droppedBits) {
    const int mask = (0xFF << droppedBits) & 0xFF;
    return qRgb(qRed(colour) & mask, qGreen(colour) & mask, qBlue(colour) & mask);
}

int appendBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

int bitsFor(std::size_t entries) {
    int bits = 1;
    while ((std::size_t{1} << bits) < entries) ++bits;
    return bits;
}

[[noreturn]] void fail(const char* step, int error) {
    throw BuildError(std::string("GIF encoding failed at ") + step + ": " + GifErrorString(error));
}

}  // namespace

QImage solidMatte(QSize size, QColor colour) {
    QImage matte(size, QImage::Format_RGB32);
    matte.fill(colour);
    return matte;
}

PalettePicture flatten(const QImage& drawing, const QImage& matte, int alphaThreshold) {
    if (drawing.size() != matte.size()) throw BuildError("flatten: the matte is not the size of the drawing");
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    const QImage under = matte.convertToFormat(QImage::Format_RGB32);
    const int w = source.width();
    const int h = source.height();

    // Composite every visible pixel over what lies under it.
    std::vector<QRgb> colours(static_cast<std::size_t>(w) * h);
    std::vector<bool> opaque(colours.size());
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const auto* back = reinterpret_cast<const QRgb*>(under.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const int a = qAlpha(row[x]);
            if (a < alphaThreshold) continue;
            auto mix = [a](int ink, int bg) { return (ink * a + bg * (255 - a) + 127) / 255; };
            colours[i] = qRgb(mix(qRed(row[x]), qRed(back[x])), mix(qGreen(row[x]), qGreen(back[x])),
                              mix(qBlue(row[x]), qBlue(back[x])));
            opaque[i] = true;
        }
    }

    // The exact palette, or the finest reduction of it that fits.
    std::vector<QRgb> distinct;
    for (int dropped = 0; dropped <= 8; ++dropped) {
        distinct.clear();
        for (std::size_t i = 0; i < colours.size(); ++i)
            if (opaque[i]) distinct.push_back(reduced(colours[i], dropped));
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        if (distinct.size() <= kMaxOpaqueColours) {
            if (dropped > 0)
                for (QRgb& c : colours) c = reduced(c, dropped);
            break;
        }
    }

    PalettePicture picture;
    picture.width = w;
    picture.height = h;
    picture.palette.push_back(w > 0 && h > 0 ? under.pixel(0, 0) | 0xFF000000u : qRgb(0, 0, 0));
    picture.palette.insert(picture.palette.end(), distinct.begin(), distinct.end());
    picture.pixels.assign(colours.size(), 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (!opaque[i]) continue;
        const auto at = std::lower_bound(distinct.begin(), distinct.end(), colours[i]);
        picture.pixels[i] = static_cast<std::uint8_t>(1 + (at - distinct.begin()));
    }
    picture.palette.resize(std::size_t{1} << bitsFor(picture.palette.size()), qRgb(0, 0, 0));
    return picture;
}

QByteArray encodeGif(const PalettePicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) throw BuildError("GIF encoding: the picture is empty");
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendBytes, &error);
    if (gif == nullptr) fail("open", error);
    auto closeOnError = [&gif](const char* step) {
        const int code = gif->Error;
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
        fail(step, code);
    };
    EGifSetGifVersion(gif, true);

    std::vector<GifColorType> table(picture.palette.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].Red = static_cast<GifByteType>(qRed(picture.palette[i]));
        table[i].Green = static_cast<GifByteType>(qGreen(picture.palette[i]));
        table[i].Blue = static_cast<GifByteType>(qBlue(picture.palette[i]));
    }
    const int bits = bitsFor(table.size());
    std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
        GifMakeMapObject(static_cast<int>(table.size()), table.data()), GifFreeMapObject);
    if (!map) throw BuildError("GIF encoding: the palette size is not a power of two");
    if (EGifPutScreenDesc(gif, picture.width, picture.height, bits, 0, map.get()) == GIF_ERROR)
        closeOnError("screen descriptor");

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = 0;
    control.TransparentColor = 0;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_ERROR)
        closeOnError("transparency extension");

    if (EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_ERROR)
        closeOnError("image descriptor");
    std::vector<GifPixelType> line(static_cast<std::size_t>(picture.width));
    for (int y = 0; y < picture.height; ++y) {
        const auto first = picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
        std::copy(first, first + picture.width, line.begin());
        if (EGifPutLine(gif, line.data(), picture.width) == GIF_ERROR) closeOnError("image data");
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR) fail("close", error);
    return bytes;
}

QByteArray gifBytes(const QImage& drawing, const QImage& matte, int alphaThreshold) {
    return encodeGif(flatten(drawing, matte, alphaThreshold));
}

}  // namespace tarvel::dataset
