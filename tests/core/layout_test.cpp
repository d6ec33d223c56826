// The window's elements: places in pixels, the note-slot grid, stacking.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/elements.h"

namespace tarvel {
namespace {

struct Expected {
    ElementId id;
    int left, top;
};

int leftPx(ElementId id) { return twipsToPixels(element(id).leftTwips); }
int topPx(ElementId id) { return twipsToPixels(element(id).topTwips); }

TEST(Layout, SingleElementsStandAtTheirPixelPlaces) {
    const Expected places[] = {
        {el::Label1, 264, 0},      {el::Check1, 440, 112},    {el::title_img, 288, 136}, {el::Cancel_img, 8, 16},
        {el::Gosen_img1, 56, 0},   {el::Gosen_img2, 56, 360}, {el::Choshi(0), 24, 0},    {el::Choshi(1), 24, 360},
        {el::P1_Btn1, 424, 480},   {el::P1_Btn2, 424, 528},   {el::P1_Btn3, 424, 576},   {el::P2_Btn4, 424, 624},
        {el::P3_BtnA, 112, 40},    {el::P3_BtnB, 112, 88},    {el::P4_Btn(1), 120, 264}, {el::P4_Btn(5), 760, 264},
        {el::P4_Btn(6), 200, 336}, {el::P4_Btn(9), 680, 336}, {el::P4_BtnA, 112, 40},    {el::P5_Btn(1), 400, 376},
        {el::P5_Btn(2), 160, 448}, {el::P5_Btn(4), 640, 448}, {el::P6_Btn(2), 272, 448}, {el::P6_Btn(3), 512, 448},
    };
    for (const Expected& e : places) {
        EXPECT_EQ(leftPx(e.id), e.left) << elementName(e.id);
        EXPECT_EQ(topPx(e.id), e.top) << elementName(e.id);
    }
}

TEST(Layout, FixedSizesInPixels) {
    EXPECT_EQ(twipsToPixels(element(el::Label1).widthTwips), 561);
    EXPECT_EQ(twipsToPixels(element(el::Label1).heightTwips), 377);
    EXPECT_EQ(twipsToPixels(element(el::Check1).widthTwips), 209);
    EXPECT_EQ(twipsToPixels(element(el::Check1).heightTwips), 33);
    EXPECT_EQ(twipsToPixels(element(el::P1_Btn3).widthTwips), 17);
    EXPECT_EQ(twipsToPixels(element(el::Cancel_img).widthTwips), 25);
    EXPECT_EQ(twipsToPixels(element(el::Lab_S1(7)).widthTwips), 113);
    EXPECT_EQ(twipsToPixels(element(el::Lab_S1(7)).heightTwips), 17);
    // Only the unmarked square of page 1 takes clicks while it has no picture.
    for (ElementId id = 0; id < el::elementCount; ++id)
        EXPECT_EQ(element(id).takesClicksWhenEmpty, id == el::P1_Btn3) << elementName(id);
}

TEST(Layout, KeyGridAndItsLabels) {
    const int row1[] = {16, 141, 265, 390, 514, 639, 763, 888};
    const int others[] = {88, 220, 352, 484, 616, 748, 880};
    const int tops[] = {152, 272, 400, 528};
    for (int k = 0; k < el::keyCount; ++k) {
        const int row = k < 8 ? 0 : 1 + (k - 8) / 7;
        const int left = k < 8 ? row1[k] : others[(k - 8) % 7];
        EXPECT_EQ(leftPx(el::P3_Btn(k)), left) << k;
        EXPECT_EQ(topPx(el::P3_Btn(k)), tops[row]) << k;
        EXPECT_EQ(leftPx(el::Lab_S1(k)), left) << k;
        EXPECT_EQ(topPx(el::Lab_S1(k)), tops[row] + 80) << k;
    }
}

TEST(Layout, NoteSlotsFormRowsOnTwoStaves) {
    const int columns[] = {176, 228, 279, 331, 383, 435, 486, 538, 590, 642, 693, 745, 797, 849, 900, 952};
    for (int i = 0; i < el::noteSlotCount; ++i) {
        const bool lower = (i / 16) % 2 == 1;
        EXPECT_EQ(leftPx(el::onp_img(i)), columns[i % 16]) << i;
        EXPECT_EQ(topPx(el::onp_img(i)), lower ? 360 : 0) << i;
        for (int f = 0; f < 9; ++f) {
            EXPECT_EQ(element(el::Uns_img(9 * i + f)).leftTwips, element(el::onp_img(i)).leftTwips) << i;
            EXPECT_EQ(topPx(el::Uns_img(9 * i + f)), lower ? 560 : 200) << i;
        }
    }
    EXPECT_EQ(element(el::onp_img(15)).leftTwips, 14280);
    EXPECT_EQ(element(el::onp_img(319)).topTwips, 5400);
    EXPECT_EQ(element(el::Uns_img(2879)).topTwips, 8400);
}

TEST(Layout, NamesRoundTrip) {
    for (ElementId id = 0; id < el::elementCount; ++id) ASSERT_EQ(findElement(elementName(id)), id) << id;
    EXPECT_EQ(elementName(el::P3_Btn(12)), "P3_Btn12");
    EXPECT_EQ(elementName(el::onp_img(3)), "onp_img(3)");
    EXPECT_EQ(elementName(el::Choshi(1)), "Choshi(1)");
    for (const char* bad : {"", "onp_img", "onp_img(320)", "onp_img(3", "P3_Btn29", "Label1(0)", "onp_img(x)"})
        EXPECT_FALSE(findElement(bad)) << bad;
}

TEST(Layout, StackingOrder) {
    const auto& order = stackingOrderFromTop();
    auto rank = [](ElementId id) { return element(id).stackRank; };
    ASSERT_EQ(order.size(), static_cast<std::size_t>(el::elementCount));
    EXPECT_EQ(order.back(), el::Label1);
    // The help page covers every other element; its own, and About opened
    // from it, lie over its background.
    for (ElementId id = 0; id < el::elementCount; ++id) {
        const bool help = (id >= el::Help_bg && id <= el::Help_BtnB) || (id >= el::About_BtnA && id <= el::About_lbl) ||
                          id == el::About_ttl;
        EXPECT_EQ(rank(id) < rank(el::Help_bg), help && id != el::Help_bg) << elementName(id);
    }
    EXPECT_EQ(order[11], el::Check1) << "then the original top element";
    // The mark of the note being played lies over every note; page 5's marks over their notes.
    for (int i = 0; i < el::nowMarkCount; ++i) EXPECT_LT(rank(el::Now_mark(i)), rank(el::onp_img(224)));
    EXPECT_LT(rank(el::P5_Mark(0)), rank(el::P5_Note(0)));
    EXPECT_LT(rank(el::P5_Note(0)), rank(el::P5_Staff(0)));
    EXPECT_LT(rank(el::P3_Btn(3)), rank(el::Cancel_img));
    EXPECT_LT(rank(el::Cancel_img), rank(el::Choshi(0)));
    EXPECT_LT(rank(el::Choshi(1)), rank(el::Uns_img(9 * 224)));
    EXPECT_LT(rank(el::onp_img(319)), rank(el::P4_BtnA));
    EXPECT_LT(rank(el::P4_BtnA), rank(el::Lab_S1(22)));
    EXPECT_LT(rank(el::Lab_S1(28)), rank(el::P6_Btn(1)));
    EXPECT_LT(rank(el::P6_Btn(3)), rank(el::P5_Btn(1)));
    EXPECT_LT(rank(el::P4_Btn(9)), rank(el::P3_BtnA));
    EXPECT_LT(rank(el::P3_Btn(28)), rank(el::P2_Btn1));
    EXPECT_LT(rank(el::P1_Btn3), rank(el::onp_img(0)));
    // Notes and fingers lie over the staff lines; the title over the lower staff.
    for (int i = 0; i < el::noteSlotCount; ++i) {
        EXPECT_LT(rank(el::onp_img(i)), rank(el::Gosen_img1)) << i;
        EXPECT_LT(rank(el::Uns_img(9 * i + 8)), rank(el::Gosen_img2)) << i;
    }
    EXPECT_LT(rank(el::Gosen_img1), rank(el::title_img));
    EXPECT_LT(rank(el::title_img), rank(el::Lab_S1(0)));
    EXPECT_LT(rank(el::Lab_S1(21)), rank(el::Gosen_img2));
}

}  // namespace
}  // namespace tarvel
