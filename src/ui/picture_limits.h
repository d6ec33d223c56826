// How large a picture may be where it stands, in pixels: the window refuses a
// larger one before decoding it, and the data-set checker reports it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "ui/elements.h"

namespace tarvel {

struct SizeLimit {
    int width;
    int height;
    bool exact = false;  // the place needs exactly this size (the checker says so)

    bool admits(int w, int h) const { return w >= 0 && h >= 0 && w <= width && h <= height; }
};

SizeLimit pictureLimit(ElementId id);

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};
// The logical screen a GIF declares in its header: every frame is drawn on
// it, so a decoded GIF is a picture of its size, whatever its frames' size.
// nullopt when the bytes do not begin a GIF.
std::optional<PictureSize> gifScreenSize(std::string_view header);
// The same, read from the first bytes of a file.
std::optional<PictureSize> gifScreenSizeOf(const std::filesystem::path& file);

}  // namespace tarvel
