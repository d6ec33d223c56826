// The fingering diagram layers: the code alphabets the charts rely on, that
// the nine layers lie on one another without covering each other, that every
// state reads differently, and that X cannot pass for a fingering.
#include <gtest/gtest.h>

#include <QPainter>

#include <cstdlib>
#include <map>

#include "finger_pictures.h"
#include "gif_writer.h"
#include "picture_support.h"

namespace tarvel::dataset {

void PrintTo(FingerSystem system, std::ostream* out) { *out << systemFolder(system); }

namespace {

using test::ink;
using test::opaque;
using test::roundTrip;

const char* const kPrefixes[] = {"L1", "L2", "L3", "L4", "L5", "R2", "R3", "R4", "R5"};

QImage layer(FingerSystem system, int finger, std::string_view code) {
    return roundTrip(drawFinger(system, finger, code));
}

// Pixels of the diagram's dark ink: closed holes and pressed keys.
int darkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 255 && qGray(c) < 80) ++n;
        }
    return n;
}

bool red(QRgb c) { return qAlpha(c) == 255 && qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90; }

class FingerLayers : public testing::TestWithParam<FingerSystem> {};

TEST_P(FingerLayers, Alphabets_AreTheOnesTheChartsUse) {
    for (int f = 0; f < 9; ++f)
        EXPECT_EQ(fingerCodes(GetParam(), f), test::kChartAlphabets.at(std::string(systemFolder(GetParam())))[f])
            << kPrefixes[f];
}

TEST_P(FingerLayers, EveryState_FitsTheSlotAndDiffersFromEveryOther) {
    for (int f = 0; f < 9; ++f) {
        std::vector<QImage> seen;
        std::string codes(fingerCodes(GetParam(), f));
        codes += 'X';
        for (char code : codes) {
            SCOPED_TRACE(std::string(kPrefixes[f]) + code);
            const QImage image = layer(GetParam(), f, std::string_view(&code, 1));
            EXPECT_EQ(image.size(), QSize(50, 150)) << "all nine layers lie exactly on one another";
            for (const QImage& other : seen) EXPECT_NE(image, other);
            seen.push_back(image);
        }
    }
}

TEST_P(FingerLayers, PressedStates_ShowMoreFilledInkThanTheOpenOne) {
    for (int f = 0; f < 9; ++f) {
        const int open = darkPixels(layer(GetParam(), f, "0"));
        for (char code : fingerCodes(GetParam(), f)) {
            if (code == '0') continue;
            EXPECT_GT(darkPixels(layer(GetParam(), f, std::string_view(&code, 1))), open + 8)
                << kPrefixes[f] << code << " must fill a hole or key";
        }
    }
}

TEST_P(FingerLayers, Layers_OfDifferentFingersNeverCoverEachOther) {
    std::vector<QImage> coverage(9);
    for (int f = 0; f < 9; ++f) {
        coverage[f] = QImage(50, 150, QImage::Format_ARGB32);
        coverage[f].fill(Qt::transparent);
        for (char code : fingerCodes(GetParam(), f))
            for (const QPoint& p : ink(layer(GetParam(), f, std::string_view(&code, 1))))
                coverage[f].setPixel(p, 0xff000000u);
    }
    for (int f = 0; f < 9; ++f)
        for (int g = f + 1; g < 9; ++g)
            for (const QPoint& p : ink(coverage[f]))
                ASSERT_FALSE(opaque(coverage[g], p.x(), p.y()))
                    << kPrefixes[f] << " and " << kPrefixes[g] << " both draw at " << p.x() << "," << p.y();
}

TEST_P(FingerLayers, EmptyCode_DrawsNothing) {
    for (int f = 0; f < 9; ++f) EXPECT_TRUE(ink(layer(GetParam(), f, "")).empty()) << kPrefixes[f];
}

TEST_P(FingerLayers, NotPlayable_RedCrossOverAGreyedDiagramInEveryLayer) {
    QImage stacked(50, 150, QImage::Format_ARGB32);
    stacked.fill(Qt::transparent);
    QPainter p(&stacked);
    for (int f = 8; f >= 0; --f) {
        const QImage x = layer(GetParam(), f, "X");
        int redPixels = 0;
        for (const QPoint& point : ink(x)) redPixels += red(x.pixel(point));
        EXPECT_GT(redPixels, 300) << kPrefixes[f] << "X alone must show the cross";
        p.drawImage(0, 0, x);
    }
    p.end();
    EXPECT_EQ(darkPixels(stacked), 0) << "nothing in it may look like a closed hole or a pressed key";
    EXPECT_TRUE(red(stacked.pixel(12, 40))) << "the cross runs across the diagram";
}

TEST_P(FingerLayers, UnknownCode_IsRefusedWithThePicturesName) {
    try {
        drawFinger(GetParam(), 0, "Q");
        FAIL() << "L1Q was drawn";
    } catch (const BuildError& error) {
        EXPECT_NE(std::string(error.what()).find("L1Q"), std::string::npos) << error.what();
    }
}

// A layer as the player sees it: over the window's grey and the body.
QImage onScreen(const QImage& layerImage) {
    QImage out(layerImage.size(), QImage::Format_RGB32);
    out.fill(kMixedBackground);
    QPainter p(&out);
    p.drawImage(0, 0, layerImage);
    return out;
}

// Pixels that differ in clear contrast: far apart in colour, not just a shade.
int clearlyDifferentPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
            if (dr * dr + dg * dg + db * db >= 100 * 100) ++n;
        }
    return n;
}

bool pressedKeyColour(QRgb c) {
    return std::abs(qRed(c) - kPressedKey.red()) < 40 && std::abs(qGreen(c) - kPressedKey.green()) < 40 &&
           std::abs(qBlue(c) - kPressedKey.blue()) < 40;
}
int pressedKeyPixels(const QImage& image) {
    int n = 0;
    for (const QPoint& p : ink(image)) n += pressedKeyColour(image.pixel(p));
    return n;
}

// The codes of a finger that press a key (not only close a hole).
bool pressesAKey(FingerSystem system, int finger, char code) {
    for (const DiagramPart& part : diagramParts(system))
        if (part.finger == finger && part.isKey && part.code.find(code) != std::string_view::npos) return true;
    return false;
}

// A pressed key must change the diagram at least as much as a covered tone
// hole does, in clear contrast: at real size the eye finds it as fast.
TEST_P(FingerLayers, EveryState_ChangesTheDiagramAtLeastAsMuchAsACoveredHole) {
    int coveredHole = 1 << 20;
    for (int f : {2, 6, 7})  // L3, R3, R4: a hole and nothing else
        coveredHole = std::min(coveredHole, clearlyDifferentPixels(onScreen(layer(GetParam(), f, "1")),
                                                                   onScreen(layer(GetParam(), f, "0"))));
    EXPECT_GE(coveredHole, 50) << "a covered hole is a clear mark itself";
    for (int f = 0; f < 9; ++f) {
        const QImage open = onScreen(layer(GetParam(), f, "0"));
        for (char code : fingerCodes(GetParam(), f)) {
            if (code == '0') continue;
            EXPECT_GE(clearlyDifferentPixels(onScreen(layer(GetParam(), f, std::string_view(&code, 1))), open),
                      coveredHole)
                << kPrefixes[f] << code;
        }
    }
}

// Orange marks a pressed key and nothing else: no hole, no key left alone,
// no body and no greyed diagram has that colour.
TEST_P(FingerLayers, PressedKeys_AreTheOnlyOrangeMarks) {
    for (int f = 0; f < 9; ++f) {
        std::string codes(fingerCodes(GetParam(), f));
        codes += 'X';
        for (char code : codes) {
            const int orange = pressedKeyPixels(layer(GetParam(), f, std::string_view(&code, 1)));
            if (code != 'X' && pressesAKey(GetParam(), f, code))
                EXPECT_GE(orange, 40) << kPrefixes[f] << code;
            else
                EXPECT_EQ(orange, 0) << kPrefixes[f] << code;
        }
    }
}

std::string systemName(const testing::TestParamInfo<FingerSystem>& param) {
    return param.param == FingerSystem::Boehm ? "Boehm" : "Oehler";
}
INSTANTIATE_TEST_SUITE_P(Systems, FingerLayers, testing::Values(FingerSystem::Boehm, FingerSystem::Oehler), systemName);

TEST(FingerDiagrams, Systems_DifferWhereTheInstrumentsDo) {
    // Oehler's R3 is a plate, its right little finger has two keys, its left one the B/F lever.
    EXPECT_NE(roundTrip(drawFinger(FingerSystem::Boehm, 6, "0")).pixel(24, 102),
              roundTrip(drawFinger(FingerSystem::Oehler, 6, "0")).pixel(24, 102));
    EXPECT_LT(ink(roundTrip(drawFinger(FingerSystem::Oehler, 8, "0"))).size(),
              ink(roundTrip(drawFinger(FingerSystem::Boehm, 8, "0"))).size());
    EXPECT_THROW(drawFinger(FingerSystem::Oehler, 4, "F"), BuildError);
    EXPECT_THROW(drawFinger(FingerSystem::Boehm, 4, "B"), BuildError);
}

// The standard 17-key instrument has no low Eb key: the diagram shows it
// only on the line that presses it.
TEST(FingerDiagrams, LowEbKey_OnlyWhereALineUsesIt) {
    QRect lowEb;
    for (const DiagramPart& part : diagramParts(FingerSystem::Boehm))
        if (part.finger == 8 && part.code == "D") lowEb = part.box.toAlignedRect();
    ASSERT_FALSE(lowEb.isEmpty());
    auto inkInBox = [&](std::string_view code) {
        const QImage image = roundTrip(drawFinger(FingerSystem::Boehm, 8, code));
        int n = 0;
        for (const QPoint& p : ink(image)) n += lowEb.contains(p);
        return n;
    };
    for (std::string_view code : {"0", "E", "F", "H", "A", "X"}) EXPECT_EQ(inkInBox(code), 0) << "R5" << code;
    EXPECT_GT(inkInBox("D"), 40);
}

}  // namespace
}  // namespace tarvel::dataset
