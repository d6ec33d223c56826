// The staff geometry, checked on the pictures as the program will show them:
// the note heads against the lines measured in the staff picture, the ledger
// lines, the signs, and the key signatures against the note pictures.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "data/data_paths.h"
#include "gif_writer.h"
#include "picture_support.h"
#include "run/note_mapping.h"
#include "staff_pictures.h"

namespace tarvel::dataset {
namespace {

using test::bounds;
using test::ink;
using test::inkNotIn;
using test::opaque;
using test::roundTrip;

constexpr int kStaffScreenX = 56;
constexpr int kKeySignatureScreenX = 24;
constexpr int kFirstNoteScreenX = 176;

// A written pitch by name ("F5", "C3") as a note picture code without its
// sign digit: octave digit 1 is the octave from C3.
int codeOf(const std::string& name, int sign) {
    const std::string letters = "fcgdaeb";
    const int letterIndex = static_cast<int>(letters.find(static_cast<char>(std::tolower(name[0]))));
    const int octaveDigit = name[1] - '0' - 2;
    return 100 * octaveDigit + 10 * letterIndex + sign;
}

// Diatonic steps above written E4, from the pitch's name alone.
int stepsAboveE4(const std::string& name) {
    const std::string order = "cdefgab";
    const int degree = static_cast<int>(order.find(static_cast<char>(std::tolower(name[0]))));
    return 7 * (name[1] - '0') + degree - (7 * 4 + 2);
}

// Every written pitch from C3 to C7 by name.
std::vector<std::string> everyPosition() {
    std::vector<std::string> names;
    for (int octave = 3; octave <= 6; ++octave)
        for (char letter : std::string("CDEFGAB")) names.push_back(std::string(1, letter) + std::to_string(octave));
    names.push_back("C7");
    return names;
}

class StaffPictures : public testing::Test {
protected:
    static void SetUpTestSuite() {
        glyphs = new MusicGlyphs(10);
        staff = new QImage(roundTrip(drawStaff(*glyphs)));
        // Staff lines: rows that are opaque across the whole picture.
        for (int y = 0; y < staff->height(); ++y) {
            int count = 0;
            for (int x = 0; x < staff->width(); ++x) count += opaque(*staff, x, y);
            if (count == staff->width()) lineRows.push_back(y);
        }
        // The clef: ink off the lines near the left end.
        for (int y = 0; y < staff->height(); ++y)
            for (int x = 0; x < 80; ++x)
                if (opaque(*staff, x, y) && std::find(lineRows.begin(), lineRows.end(), y) == lineRows.end())
                    clefRight = std::max(clefRight, x);
    }
    static void TearDownTestSuite() {
        delete staff;
        delete glyphs;
    }

    static int bottomLine() { return lineRows.back(); }
    static double halfSpace() { return (lineRows.back() - lineRows.front()) / 8.0; }
    static double expectedY(const std::string& name) { return bottomLine() - halfSpace() * stepsAboveE4(name); }

    static QImage note(const std::string& name, int sign) { return roundTrip(drawNote(codeOf(name, sign), *glyphs)); }

    // Rows of a note picture that hold a ledger line: a run of ink wider
    // than any note head.
    static std::set<int> ledgerRows(const QImage& image) {
        std::set<int> rows;
        for (int y = 0; y < image.height(); ++y) {
            int run = 0;
            for (int x = 0; x < image.width(); ++x) {
                run = opaque(image, x, y) ? run + 1 : 0;
                if (run >= 16) rows.insert(y);
            }
        }
        return rows;
    }

    // The note head: rows with a run of ink at least 4 wide that are not
    // ledger rows; its centre is the middle of the first and last of them.
    struct Head {
        double centreY = 0;
        int left = 1000;
        int right = -1;
    };
    static Head head(const QImage& image) {
        const std::set<int> ledgers = ledgerRows(image);
        int first = -1, last = -1;
        Head h;
        for (int y = 0; y < image.height(); ++y) {
            if (ledgers.count(y)) continue;
            int run = 0;
            for (int x = 0; x < image.width(); ++x) {
                run = opaque(image, x, y) ? run + 1 : 0;
                if (run == 4) {
                    if (first < 0) first = y;
                    last = y;
                    h.left = std::min(h.left, x - 3);
                }
                if (run >= 4) h.right = std::max(h.right, x);
            }
        }
        h.centreY = (first + last) / 2.0;
        return h;
    }

    static MusicGlyphs* glyphs;
    static QImage* staff;
    static std::vector<int> lineRows;
    static int clefRight;
};
MusicGlyphs* StaffPictures::glyphs = nullptr;
QImage* StaffPictures::staff = nullptr;
std::vector<int> StaffPictures::lineRows;
int StaffPictures::clefRight = -1;

// === The staff picture ===

TEST_F(StaffPictures, Staff_FiveEvenLinesFromTheClefToTheWindowsRightEdge) {
    ASSERT_EQ(lineRows.size(), 5u);
    for (std::size_t i = 1; i < lineRows.size(); ++i) EXPECT_EQ(lineRows[i] - lineRows[i - 1], 10);
    EXPECT_LT(kStaffScreenX + clefRight, kKeySignatureScreenX + 70) << "the clef stands at the staff's left end";
    EXPECT_GE(kStaffScreenX + staff->width(), 1016 - 8);
    EXPECT_LE(kStaffScreenX + staff->width(), 1016);
    EXPECT_LE(staff->height(), 200);
}

TEST_F(StaffPictures, Staff_BarLinesAfterEveryFourthColumnAndAtTheEnd) {
    std::vector<int> bars;
    const int middle = (lineRows[1] + lineRows[2]) / 2;  // a space: only bar lines have ink here
    for (int x = clefRight + 1; x < staff->width(); ++x)
        if (opaque(*staff, x, middle)) bars.push_back(x + kStaffScreenX);
    const std::vector<int> expected{380, 587, 794, kStaffScreenX + staff->width() - 1};
    EXPECT_EQ(bars, expected);
}

// === Note heads against the lines ===

struct Anchor {
    const char* name;
    int lineOrSpace;  // lines 0 (bottom) .. 4 counted in half spaces from the bottom line
    int ledgers;
};
// Hand-written facts of the treble clef.
const Anchor kAnchors[] = {
    {"C3", -9, 4}, {"D3", -8, 4}, {"E3", -7, 3}, {"A3", -4, 2}, {"B3", -3, 1}, {"C4", -2, 1},
    {"D4", -1, 0}, {"E4", 0, 0},  {"F4", 1, 0},  {"G4", 2, 0},  {"B4", 4, 0},  {"F5", 8, 0},
    {"G5", 9, 0},  {"A5", 10, 1}, {"C6", 12, 2}, {"E6", 14, 3}, {"B6", 18, 5}, {"C7", 19, 5},
};

TEST_F(StaffPictures, Anchors_TrebleClefFacts) {
    for (const Anchor& a : kAnchors) {
        SCOPED_TRACE(a.name);
        const QImage image = note(a.name, 5);
        EXPECT_NEAR(head(image).centreY, bottomLine() - halfSpace() * a.lineOrSpace, 1.0);
        EXPECT_EQ(ledgerRows(image).size(), static_cast<std::size_t>(a.ledgers));
    }
}

TEST_F(StaffPictures, EveryPosition_HeadOnItsLineOrSpaceAndLedgersExactlyWhereNeeded) {
    for (const std::string& name : everyPosition()) {
        SCOPED_TRACE(name);
        const QImage image = note(name, 5);
        ASSERT_LE(image.width(), 52);
        ASSERT_LE(image.height(), 200);
        EXPECT_NEAR(head(image).centreY, expectedY(name), 1.0);

        // Ledger lines on every line position between the staff and the note.
        std::set<int> expected;
        const int steps = stepsAboveE4(name);
        for (int s = -2; s >= steps; s -= 2) expected.insert(bottomLine() - static_cast<int>(halfSpace() * s));
        for (int s = 10; s <= steps; s += 2) expected.insert(bottomLine() - static_cast<int>(halfSpace() * s));
        EXPECT_EQ(ledgerRows(image), expected);
    }
}

TEST_F(StaffPictures, EveryPosition_StemUpBelowTheMiddleLineDownFromIt) {
    for (const std::string& name : everyPosition()) {
        SCOPED_TRACE(name);
        const QImage image = note(name, 5);
        const QRect all = bounds(ink(image));
        const double centre = head(image).centreY;
        if (stepsAboveE4(name) < 4) {
            EXPECT_LE(all.top(), std::min(centre - 30, static_cast<double>(lineRows[2])));
        } else {
            EXPECT_GE(all.bottom(), std::max(centre + 30, static_cast<double>(lineRows[2])));
        }
    }
}

// === Signs ===

TEST_F(StaffPictures, EverySign_LeftOfTheHeadAndLedgersAtTheNotesHeight) {
    for (const std::string& name : everyPosition()) {
        const QImage plain = note(name, 5);
        const Head h = head(plain);
        const QRect plainInk = bounds(ink(plain));
        std::vector<std::vector<QPoint>> signs;
        for (int sign = 0; sign <= 4; ++sign) {
            SCOPED_TRACE(name + " sign " + std::to_string(sign));
            const std::vector<QPoint> added = inkNotIn(note(name, sign), plain);
            ASSERT_FALSE(added.empty());
            const QRect box = bounds(added);
            EXPECT_LT(box.right(), plainInk.left()) << "the sign stays clear of the head and its ledger lines";
            EXPECT_GE(box.left(), 1) << "the sign is not cut at the column's edge";
            EXPECT_LE(box.top(), h.centreY);
            EXPECT_GE(box.bottom(), h.centreY);
            for (const auto& other : signs) EXPECT_NE(other, added) << "every sign looks different";
            signs.push_back(added);
        }
    }
}

// === Key signatures ===

// The sign added by the n-th accidental of a signature: it must be the
// very sign the note picture of that pitch carries, at the same height.
void expectSameSign(const std::vector<QPoint>& inSignature, const std::vector<QPoint>& inNote) {
    ASSERT_FALSE(inSignature.empty());
    const QRect a = bounds(inSignature);
    const QRect b = bounds(inNote);
    EXPECT_NEAR(a.top(), b.top(), 1);
    EXPECT_NEAR(a.height(), b.height(), 1);
    EXPECT_NEAR(a.width(), b.width(), 1);
}

struct Order {
    char sign;
    int signDigit;
    std::vector<std::string> pitches;
};
const Order kOrders[] = {
    {'#', 3, {"F5", "C5", "G5", "D5", "A4", "E5", "B4"}},
    {'b', 1, {"B4", "E5", "A4", "D5", "G4", "C5", "F4"}},
};

TEST_F(StaffPictures, KeySignatures_SignsInOrderOnTheirLinesRightOfTheClef) {
    for (const Order& order : kOrders) {
        QImage previous = roundTrip(drawKeySignature(keySignature(order.sign, 0, false), *glyphs));
        EXPECT_TRUE(ink(previous).empty()) << "no key signature draws nothing";
        int previousRight = clefRight + kStaffScreenX - kKeySignatureScreenX;
        for (int n = 1; n <= 7; ++n) {
            SCOPED_TRACE(std::string(1, order.sign) + std::to_string(n));
            const KeySignature table = keySignature(order.sign, n, false);
            const QImage current = roundTrip(drawKeySignature(table, *glyphs));
            EXPECT_LE(kKeySignatureScreenX + current.width(), kFirstNoteScreenX);
            const std::vector<QPoint> added = inkNotIn(current, previous);
            const std::string& pitch = order.pitches[n - 1];
            expectSameSign(added, inkNotIn(note(pitch, order.signDigit), note(pitch, 5)));
            const QRect box = bounds(added);
            EXPECT_GT(box.left(), previousRight - 2) << "each sign stands right of the one before";
            previousRight = box.right();
            previous = current;
        }
    }
}

// No two signs of a key signature touch or overlap: between neighbours
// there is at least one column without ink, in all 15 signatures.
TEST_F(StaffPictures, KeySignatures_NoTwoSignsTouch) {
    for (const KeySignature& table : everyKeySignature()) {
        const QImage image = roundTrip(drawKeySignature(table, *glyphs));
        int signs = 0;
        for (int k = 0; k < 7; ++k) signs += table[static_cast<std::size_t>(k)] != 2;
        int inkedRuns = 0;
        bool inRun = false;
        for (int x = 0; x < image.width(); ++x) {
            bool inked = false;
            for (int y = 0; y < image.height() && !inked; ++y) inked = opaque(image, x, y);
            inkedRuns += inked && !inRun;
            inRun = inked;
        }
        EXPECT_EQ(inkedRuns, signs) << keySignaturePicture(table);
    }
}

TEST_F(StaffPictures, KeySignatures_OneForEveryCountAndTheNaturalOne) {
    std::set<std::string> names;
    for (const KeySignature& table : everyKeySignature()) names.insert(keySignaturePicture(table));
    EXPECT_EQ(names.size(), 15u);
    EXPECT_TRUE(names.count("system\\hyouji\\choshi\\2222222.gif"));
    EXPECT_TRUE(names.count("system\\hyouji\\choshi\\3333333.gif"));
    EXPECT_TRUE(names.count("system\\hyouji\\choshi\\1111111.gif"));
    EXPECT_TRUE(names.count("system\\hyouji\\choshi\\2222211.gif"));
}

TEST_F(StaffPictures, Notes_AnUnknownCodeIsRefused) {
    for (int code : {615, 505, 525, 175, 106, 75}) EXPECT_THROW(drawNote(code, *glyphs), BuildError) << code;
}

}  // namespace
}  // namespace tarvel::dataset
