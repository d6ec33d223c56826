// The page at any window size: the layout, pictures and text together, scaled
// to the window's client area keeping its proportions, centred, with the
// window's background left and right or above and below. Every element keeps
// its place in twips; only the number of pixels to the twip changes.
#pragma once

namespace tarvel {

// The page at scale 1: 15240 x 10692 twips on the reference screen.
inline constexpr int kPageWidth = 1016;
inline constexpr int kPageHeight = 713;

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PageFit {
    double scale = 1;  // pixels of the window to one pixel of the page at scale 1
    int left = 0;      // where the page's top-left corner stands in the client area
    int top = 0;
};

// The largest scale at which the whole page fits the client area, and where
// it stands, centred.
PageFit fitPage(int clientWidth, int clientHeight);

// A length in twips at `scale`, in whole pixels; at scale 1 as twipsToPixels.
int scaledPixels(int twips, double scale);

// Around a window's client area: the title bar and the borders.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where a window opens the first time, on a screen whose free part (without
// its panels) is `available`: at the page's own size, centred; where that
// does not fit with the frame, at the largest size of the page's proportions
// that does. Gives the client area.
PixelRect firstWindowPlace(const PixelRect& available, const FrameMargins& frame);

// A client area kept from an earlier start, made to fit `available` with its
// frame: as large as it was where it fits, smaller where it does not, and
// moved onto the screen.
PixelRect keepOnScreen(const PixelRect& client, const PixelRect& available, const FrameMargins& frame);

}  // namespace tarvel
