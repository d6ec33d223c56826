// How large a picture may be where it stands, in pixels: the window refuses a
// larger one before decoding it, and the data-set checker reports it.
#pragma once

#include "ui/elements.h"

namespace tarvel {

struct SizeLimit {
    int width;
    int height;
    bool exact = false;  // the place needs exactly this size (the checker says so)

    bool admits(int w, int h) const { return w >= 0 && h >= 0 && w <= width && h <= height; }
};

SizeLimit pictureLimit(ElementId id);

}  // namespace tarvel
