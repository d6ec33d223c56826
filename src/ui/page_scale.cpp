#include "ui/page_scale.h"

#include <algorithm>
#include <cmath>

namespace tarvel {

PageFit fitPage(int clientWidth, int clientHeight) {
    PageFit fit;
    fit.scale = std::max(
        0.0, std::min(static_cast<double>(clientWidth) / kPageWidth, static_cast<double>(clientHeight) / kPageHeight));
    const int width = static_cast<int>(std::lround(kPageWidth * fit.scale));
    const int height = static_cast<int>(std::lround(kPageHeight * fit.scale));
    fit.left = std::max(0, (clientWidth - width) / 2);
    fit.top = std::max(0, (clientHeight - height) / 2);
    return fit;
}

int scaledPixels(int twips, double scale) { return static_cast<int>(std::lround(twips * scale / 15.0)); }

namespace {

// The room a screen leaves for a client area inside its frame.
PixelRect room(const PixelRect& available, const FrameMargins& frame) {
    return {available.left + frame.left, available.top + frame.top,
            std::max(1, available.width - frame.left - frame.right),
            std::max(1, available.height - frame.top - frame.bottom)};
}

PixelRect centred(int width, int height, const PixelRect& in) {
    return {in.left + (in.width - width) / 2, in.top + (in.height - height) / 2, width, height};
}

}  // namespace

PixelRect firstWindowPlace(const PixelRect& available, const FrameMargins& frame) {
    const PixelRect free = room(available, frame);
    if (kPageWidth <= free.width && kPageHeight <= free.height) return centred(kPageWidth, kPageHeight, free);
    const PageFit fit = fitPage(free.width, free.height);
    const int width = std::min(free.width, static_cast<int>(std::lround(kPageWidth * fit.scale)));
    const int height = std::min(free.height, static_cast<int>(std::lround(kPageHeight * fit.scale)));
    return centred(width, height, free);
}

PixelRect keepOnScreen(const PixelRect& client, const PixelRect& available, const FrameMargins& frame) {
    const PixelRect free = room(available, frame);
    PixelRect kept = client;
    kept.width = std::clamp(client.width, 1, free.width);
    kept.height = std::clamp(client.height, 1, free.height);
    kept.left = std::clamp(client.left, free.left, free.left + free.width - kept.width);
    kept.top = std::clamp(client.top, free.top, free.top + free.height - kept.height);
    return kept;
}

}  // namespace tarvel
