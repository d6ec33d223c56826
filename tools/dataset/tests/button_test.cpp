// The page pictures against the places they are shown at: sizes within each
// place's limit, nothing covering a neighbour, the check box or a result
// label, and a picture for every row of the page picture table.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/choices.h"
#include "button_pictures.h"
#include "icon.h"
#include "picture_support.h"
#include "ui/elements.h"
#include "ui/page_pictures.h"

namespace tarvel::dataset {
namespace {

using test::roundTrip;

class PagePictures : public testing::Test {
protected:
    static void SetUpTestSuite() {
        sizes = new std::map<std::string, QImage>;
        for (const Picture& picture : buttonPictures()) {
            ASSERT_EQ(sizes->count(picture.dataPath), 0u) << picture.dataPath << " is drawn twice";
            sizes->emplace(picture.dataPath, roundTrip(picture));
        }
    }
    static void TearDownTestSuite() { delete sizes; }

    static const QImage& pictureOf(ElementId id) {
        for (const PagePicture& row : pagePictureTable())
            if (row.element == id) return sizes->at(std::string(row.file));
        throw std::logic_error("no picture for " + elementName(id));
    }
    static QRect rectOf(ElementId id) {
        const ElementSpec& e = element(id);
        const QPoint at(twipsToPixels(e.leftTwips), twipsToPixels(e.topTwips));
        if (e.kind != ElementKind::Picture || id == el::P1_Btn3)
            return {at, QSize(twipsToPixels(e.widthTwips), twipsToPixels(e.heightTwips))};
        return {at, pictureOf(id).size()};
    }
    static void expectApart(const std::vector<ElementId>& ids) {
        for (std::size_t i = 0; i < ids.size(); ++i)
            for (std::size_t j = i + 1; j < ids.size(); ++j)
                EXPECT_FALSE(rectOf(ids[i]).intersects(rectOf(ids[j])))
                    << elementName(ids[i]) << " covers " << elementName(ids[j]);
    }

    static std::map<std::string, QImage>* sizes;
};
std::map<std::string, QImage>* PagePictures::sizes = nullptr;

const QRect kLabel1{264, 0, 561, 377};

// === Every picture ===

TEST_F(PagePictures, Table_EveryRowHasItsPicture) {
    std::set<std::string> files;
    for (const auto* table : {&pagePictureTable(), &aboutPictureTable()})
        for (const PagePicture& row : *table) {
            files.insert(std::string(row.file));
            EXPECT_EQ(sizes->count(std::string(row.file)), 1u) << row.file;
        }
    files.insert("system\\hyouji\\button\\cancel.gif");
    for (const SystemChoice& system : kSystemChoices)
        files.insert(std::string(system.legendButton));  // the help page's
    EXPECT_EQ(files.size(), sizes->size()) << "nothing is drawn that no element shows";
}

TEST_F(PagePictures, Buttons_AreOpaqueInTheirMiddle) {
    for (const auto& [file, image] : *sizes) {
        if (file.find("title") != std::string::npos) continue;
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << file;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << file << ": rounded corners show the window";
    }
}

// === Sizes ===

struct Limit {
    std::vector<ElementId> elements;
    int width, height;
};

TEST_F(PagePictures, Sizes_WithinTheLimitOfTheirPlace) {
    std::vector<Limit> limits{
        {{el::P1_Btn1, el::P1_Btn2, el::P2_Btn1, el::P2_Btn2, el::P2_Btn3, el::P2_Btn4}, 200, 44},
        {{el::P3_BtnA, el::P3_BtnB, el::P4_BtnA, el::P7_BtnA}, 150, 44},
        {{el::P3_BtnC}, 90, 90},
        {{el::P7_BtnB}, 230, 66},
        {{}, 118, 76},
        {{}, 150, 66},
        {{el::P5_Btn(1), el::P5_Btn(2), el::P5_Btn(3), el::P5_Btn(4), el::P6_Btn(1), el::P6_Btn(2), el::P6_Btn(3)},
         230,
         66},
        {{el::Help_Btn}, 40, 44},
        {{el::Help_BtnA}, 130, 44},
    };
    for (int k = 0; k < el::keyCount; ++k) limits[4].elements.push_back(el::P3_Btn(k));
    for (int n = 1; n <= 9; ++n) limits[5].elements.push_back(el::P4_Btn(n));
    for (const Limit& limit : limits)
        for (ElementId id : limit.elements) {
            const QSize size = pictureOf(id).size();
            EXPECT_LE(size.width(), limit.width) << elementName(id);
            EXPECT_LE(size.height(), limit.height) << elementName(id);
        }
    EXPECT_EQ(sizes->at("system\\hyouji\\button\\cancel.gif").size(), QSize(58, 25)) << "the disc and its key";
}

// === Places ===

TEST_F(PagePictures, Title_InsideTheMessageLabelAboveTheSystemButtons) {
    const QRect title = rectOf(el::title_img);
    EXPECT_TRUE(kLabel1.contains(title)) << "the title shows on the white label";
    EXPECT_LT(title.bottom(), rectOf(el::P1_Btn1).top());
    EXPECT_NEAR(title.center().x(), kLabel1.center().x(), 2);
}

TEST_F(PagePictures, Pages_ButtonsOfOnePageStandApart) {
    expectApart({el::P1_Btn1, el::P1_Btn2, el::P1_Btn3});
    expectApart({el::P2_Btn1, el::P2_Btn2, el::P2_Btn3, el::P2_Btn4});
    std::vector<ElementId> tempo{el::P4_BtnA};
    for (int n = 1; n <= 9; ++n) tempo.push_back(el::P4_Btn(n));
    expectApart(tempo);
    expectApart({el::P5_Btn(1), el::P5_Btn(2), el::P5_Btn(3), el::P5_Btn(4)});
    expectApart({el::P6_Btn(1), el::P6_Btn(2), el::P6_Btn(3)});
}

TEST_F(PagePictures, KeyPage_ButtonsLeaveTheCheckBoxAndEveryResultLabelFree) {
    std::vector<ElementId> page{el::P3_BtnA, el::P3_BtnB, el::P3_BtnC, el::Check1};
    for (int k = 0; k < el::keyCount; ++k) {
        page.push_back(el::P3_Btn(k));
        page.push_back(el::Lab_S1(k));
    }
    expectApart(page);
}

TEST_F(PagePictures, KeyPage_BadgesLieOnTheirButtonsEmptyCornerAndCoverNothingElse) {
    for (int k = 0; k < el::keyCount; ++k) {
        const QRect badge = rectOf(el::Best_lbl(k));
        const QRect button = rectOf(el::P3_Btn(k));
        EXPECT_TRUE(badge.intersects(button)) << "badge " << k << " is on its button";
        std::vector<ElementId> others{el::P3_BtnA, el::P3_BtnB, el::P3_BtnC, el::Check1};
        for (int j = 0; j < el::keyCount; ++j) {
            others.push_back(el::Lab_S1(j));
            if (j != k) others.push_back(el::P3_Btn(j));
            if (j != k) others.push_back(el::Best_lbl(j));
        }
        for (ElementId other : others)
            EXPECT_FALSE(badge.intersects(rectOf(other))) << "badge " << k << " covers " << elementName(other);
        // Under the badge the button shows only its face: every row of the
        // covered part one colour (the face is a top-to-bottom gradient), no
        // letter, staff line or sign.
        const QImage& picture = pictureOf(el::P3_Btn(k));
        const QRect covered = badge.intersected(button).translated(-button.topLeft()).adjusted(0, 0, -8, -3);
        ASSERT_FALSE(covered.isEmpty());
        for (int y = covered.top(); y <= covered.bottom(); ++y)
            for (int x = covered.left(); x <= covered.right(); ++x)
                EXPECT_EQ(picture.pixel(x, y), picture.pixel(covered.left(), y))
                    << "key " << k << " has ink under its badge at " << x << "," << y;
    }
}

TEST_F(PagePictures, ProgressPage_ElementsStandApartInTheWindow) {
    const std::vector<ElementId> page{el::P7_BtnA,  el::P7_BtnB,  el::P7_Key, el::P7_Days,
                                      el::P7_Chart, el::P7_Table, el::P7_Note};
    expectApart(page);
    for (ElementId id : page) EXPECT_TRUE(QRect(0, 0, 1016, 713).contains(rectOf(id))) << elementName(id);
    EXPECT_EQ(rectOf(el::P7_BtnA).topLeft(), rectOf(el::P3_BtnA).topLeft()) << "back where the key page's back is";
}

TEST_F(PagePictures, KeyButtons_AllDifferent) {
    std::vector<QImage> seen;
    for (int k = 0; k < el::keyCount; ++k) {
        const QImage& image = pictureOf(el::P3_Btn(k));
        for (const QImage& other : seen) EXPECT_NE(image, other) << elementName(el::P3_Btn(k));
        seen.push_back(image);
    }
}

// === Icon ===

TEST(TarvelIcon, ThirtyTwoSquareInSixteenColours) {
    const QImage icon = drawTarvelIcon();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_LE(icon.colorCount(), 16);
    std::set<QRgb> used;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) used.insert(icon.pixel(x, y));
    EXPECT_LE(used.size(), 16u);
    EXPECT_GE(used.size(), 6u) << "a drawing, not a blank tile";
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "rounded corners";
    EXPECT_EQ(icon, drawTarvelIcon());
}

}  // namespace
}  // namespace tarvel::dataset
