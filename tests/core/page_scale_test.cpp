// The page scaled to the window, and where the window opens.
#include <gtest/gtest.h>

#include "ui/elements.h"
#include "ui/page_scale.h"

namespace tarvel {
namespace {

TEST(PageScale, ThePageFillsTheWindowKeepingItsProportionsCentred) {
    struct Case {
        int width, height;
        double scale;
        int left, top;
    };
    const Case cases[] = {
        {1016, 713, 1.0, 0, 0},
        {1524, 1070, 1.5, 0, 0},
        {2032, 1426, 2.0, 0, 0},
        {2000, 713, 1.0, 492, 0},
        {1016, 1000, 1.0, 0, 143},
        {508, 800, 0.5, 0, 221},
        {1920, 1080, 1080.0 / 713, 190, 0},
    };
    for (const Case& c : cases) {
        const PageFit fit = fitPage(c.width, c.height);
        EXPECT_DOUBLE_EQ(fit.scale, c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(fit.left, c.left) << c.width << " x " << c.height;
        EXPECT_EQ(fit.top, c.top) << c.width << " x " << c.height;
    }
}

TEST(PageScale, AtScaleOneEveryPlaceIsThePixelOfItsTwips) {
    for (int twips = 0; twips <= 16000; ++twips) ASSERT_EQ(scaledPixels(twips, 1.0), twipsToPixels(twips)) << twips;
    EXPECT_EQ(scaledPixels(Slot_x(15), 1.5), 1428);  // 14280 twips: 952 px, and half of it again
    EXPECT_EQ(scaledPixels(2280, 2.0), 304);
}

TEST(PageScale, TheWindowOpensWholeOnItsScreen) {
    struct Case {
        const char* screen;
        PixelRect available;
        FrameMargins frame;
        PixelRect client;
    };
    const Case cases[] = {
        // Room enough: the page's own size, centred.
        {"1280 x 1024, no frame", {0, 0, 1280, 1024}, {}, {132, 155, 1016, 713}},
        {"1024 x 768 with a title bar", {0, 0, 1024, 768}, {1, 30, 1, 1}, {4, 42, 1016, 713}},
        // Too small: the largest size of the page's proportions.
        {"1920 x 1200 at scale 2", {0, 0, 960, 600}, {}, {52, 0, 855, 600}},
        {"1366 x 768 with a panel", {0, 0, 1366, 740}, {2, 30, 2, 2}, {178, 30, 1009, 708}},
        {"1920 x 1080 at 150 %, panel above", {0, 32, 1280, 688}, {2, 30, 2, 2}, {172, 62, 935, 656}},
        {"second screen on the right", {1920, 0, 1024, 700}, {}, {1933, 0, 997, 700}},
    };
    for (const Case& c : cases) {
        const PixelRect client = firstWindowPlace(c.available, c.frame);
        EXPECT_EQ(client, c.client) << c.screen << ": " << client.left << "," << client.top << " " << client.width
                                    << " x " << client.height;
        // With its frame, the window lies wholly in the free part of the screen.
        EXPECT_GE(client.left - c.frame.left, c.available.left) << c.screen;
        EXPECT_GE(client.top - c.frame.top, c.available.top) << c.screen;
        EXPECT_LE(client.left + client.width + c.frame.right, c.available.left + c.available.width) << c.screen;
        EXPECT_LE(client.top + client.height + c.frame.bottom, c.available.top + c.available.height) << c.screen;
    }
}

TEST(PageScale, AKeptPlaceIsMadeToFitTheScreenItOpensOn) {
    const PixelRect screen{0, 0, 1366, 768};
    const FrameMargins frame{0, 30, 0, 0};
    EXPECT_EQ(keepOnScreen({100, 100, 1200, 600}, screen, frame), (PixelRect{100, 100, 1200, 600})) << "fits: kept";
    EXPECT_EQ(keepOnScreen({0, 0, 2032, 1426}, screen, frame), (PixelRect{0, 30, 1366, 738})) << "too large";
    EXPECT_EQ(keepOnScreen({1900, 900, 1016, 713}, screen, frame), (PixelRect{350, 55, 1016, 713})) << "off screen";
}

}  // namespace
}  // namespace tarvel
