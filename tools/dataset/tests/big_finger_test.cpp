// The run's large diagram: every layer of both systems, at its place on the
// run screen, stays clear of the clefs, staff lines and key signatures of
// both staves and of the first note column's small diagram.
#include <gtest/gtest.h>

#include "data/data_paths.h"
#include "finger_pictures.h"
#include "music_glyphs.h"
#include "picture_support.h"
#include "staff_geometry.h"
#include "staff_pictures.h"
#include "ui/elements.h"

namespace tarvel::dataset {
namespace {

struct Placed {
    QImage image;
    QPoint at;
};

// Opaque screen pixels of a picture at its place, grown by `margin`.
QRegion inkOnScreen(const Placed& p, int margin = 0) {
    QRegion region;
    for (const QPoint& dot : test::ink(p.image))
        region += QRect(p.at + dot - QPoint(margin, margin), QSize(1 + 2 * margin, 1 + 2 * margin));
    return region;
}

TEST(BigFinger, EveryLayerStandsClearOfTheStavesBesideIt) {
    const MusicGlyphs glyphs(staff::kLineSpacing);
    QRegion taken;
    const QImage staffLines = test::roundTrip(drawStaff(glyphs));
    for (const int top : {0, 360}) {
        taken += inkOnScreen({staffLines, {staff::kStaffLeft, top}});
        for (const KeySignature& table : everyKeySignature())
            taken += inkOnScreen({test::roundTrip(drawKeySignature(table, glyphs)), {staff::kKeySignatureLeft, top}});
    }
    taken += QRect(twipsToPixels(Slot_x(0)), 200, 50, 150);  // the first column's diagram
    const ElementSpec& place = element(el::Big_finger(0));
    const QPoint at(twipsToPixels(place.leftTwips), twipsToPixels(place.topTwips));
    for (const FingerSystem system : {FingerSystem::Boehm, FingerSystem::Oehler})
        for (int finger = 0; finger < 9; ++finger) {
            std::string codes(fingerCodes(system, finger));
            codes += 'X';
            for (const char code : codes) {
                const Picture big = drawFinger(system, finger, std::string_view(&code, 1), true);
                const QImage image = test::roundTrip(big);
                ASSERT_EQ(image.size(), QSize(kBigFingerWidth, kBigFingerHeight)) << big.dataPath;
                const QRegion ink = inkOnScreen({image, at}, 3);  // three pixels of air at least
                EXPECT_TRUE(QRect(0, 0, twipsToPixels(Slot_x(0)), 713).contains(ink.boundingRect())) << big.dataPath;
                EXPECT_TRUE(ink.intersected(taken).isEmpty())
                    << big.dataPath << " touches the staves at " << ink.intersected(taken).boundingRect().x() << ","
                    << ink.intersected(taken).boundingRect().y();
            }
        }
}

// Drawn again at its size, not scaled up: a closed hole's ink is as round
// and as large as the scale says, with crisp edges rather than a blur.
TEST(BigFinger, DrawnAtItsSizeNotScaledUp) {
    const QImage small = test::roundTrip(drawFinger(FingerSystem::Boehm, 2, "1"));
    const QImage big = test::roundTrip(drawFinger(FingerSystem::Boehm, 2, "1", true));
    auto darkCount = [](const QImage& image, int& grey) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAlpha(c) != 255) continue;
                dark += qGray(c) < 60;
                grey += qGray(c) >= 60 && qGray(c) < 150;
            }
        return dark;
    };
    int smallGrey = 0, bigGrey = 0;
    const int smallDark = darkCount(small, smallGrey), bigDark = darkCount(big, bigGrey);
    EXPECT_NEAR(static_cast<double>(bigDark) / smallDark, kBigScale * kBigScale, 0.6);
    EXPECT_LT(bigGrey, 3 * smallGrey) << "edges stay as thin as the small picture's, not smeared";
    EXPECT_EQ(drawFinger(FingerSystem::Oehler, 8, "F", true).dataPath, "system\\unshi\\Oeh\\big\\R5F.gif");
}

}  // namespace
}  // namespace tarvel::dataset
