// The variant rules on the passages the fingering reference gives as examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "keys/key_table.h"
#include "support.h"
#include "variants.h"

namespace tarvel::dataset::test {
namespace {

struct Example {
    System system;
    std::vector<std::string_view> notes;
    std::vector<int> variants;
    std::string_view why;
};

const Example kExamples[] = {
    // Boehm little fingers
    {System::Boehm, {"E3", "F#3", "G3"}, {0, 1, 0}, "no fixed note: the lowest keeps its usual hand"},
    {System::Boehm, {"D5", "C#5", "B4", "A4"}, {0, 1, 0, 1}, "the same choice descending"},
    {System::Boehm, {"C5", "D5", "Eb5"}, {1, 0, 0}, "left C across one note to the right-only Eb5"},
    {System::Boehm, {"F3", "G3", "Ab3"}, {1, 0, 0}, "left F across one note to the right-only Ab3"},
    {System::Boehm, {"F3", "G3", "A3"}, {0, 0, 0}, "usual right F"},
    {System::Boehm, {"B4", "C5", "D5"}, {2, 0, 0}, "B held with the right C"},
    {System::Boehm, {"E3", "F3", "G3"}, {2, 0, 0}, "E held with the right F"},
    {System::Boehm, {"B4", "C5", "D5", "Eb5"}, {3, 1, 0, 0}, "left C: B on the right, held with the left C"},
    {System::Boehm, {"C5", "B4", "D5", "Eb5"}, {0, 0, 0, 0}, "no extra right finger when Eb5 needs it"},
    {System::Boehm, {"E3", "E3", "F#3", "G#3"}, {1, 1, 0, 0}, "a repeated note keeps its fingering"},
    // Boehm other choice points
    {System::Boehm, {"D4", "Eb4", "F4"}, {0, 1, 0}, "sliver next to D4"},
    {System::Boehm, {"A5", "Bb5", "B5"}, {0, 1, 0}, "sliver next to A5"},
    {System::Boehm, {"Bb3", "Eb4", "G4"}, {0, 2, 0}, "1+1 after the right index alone"},
    {System::Boehm, {"F5", "Bb5", "F5"}, {0, 2, 0}, "1+1 between F5s"},
    {System::Boehm, {"C4", "Eb4", "G4"}, {0, 0, 0}, "side key otherwise"},
    {System::Boehm, {"Bb3", "B3", "C4"}, {0, 1, 0}, "side B next to Bb3"},
    {System::Boehm, {"A3", "B3", "C4"}, {0, 0, 0}, "fork B otherwise"},
    {System::Boehm, {"F5", "F#5", "G5"}, {0, 1, 0}, "side F# next to F5"},
    {System::Boehm, {"E5", "F#5", "G5"}, {0, 0, 0}, "fork F# otherwise"},
    {System::Boehm, {"G4", "A4", "B4"}, {0, 1, 0}, "right hand down on A4 before the break"},
    {System::Boehm, {"C5", "Bb4", "A4", "G4"}, {0, 1, 0, 0}, "only the throat note next to the clarion"},
    {System::Boehm, {"G4", "E5"}, {1, 0}, "leap across the break"},
    {System::Boehm, {"G4", "F5"}, {0, 0}, "F5 is above the notes just across the break"},
    // Oehler
    {System::Oehler, {"E3", "F#3", "G#3"}, {0, 0, 0}, "no choice: slide over the roller"},
    {System::Oehler, {"C5", "D#5", "E5"}, {0, 0, 0}, "right As/Es: the left As/Es lever is not on every instrument"},
    {System::Oehler, {"C5", "Eb5", "Ab5"}, {0, 0, 0}, "no lever when the left little finger is needed next"},
    {System::Oehler, {"F3", "Ab3", "C4"}, {0, 0, 0}, "right As/Es, sliding over the roller from the right F"},
    {System::Oehler, {"B4", "C5", "D5"}, {1, 0, 0}, "B held with the right C"},
    {System::Oehler, {"B3", "Bb3", "A3"}, {0, 1, 0}, "B/F lever in a chromatic run"},
    {System::Oehler, {"E5", "F5", "F#5"}, {0, 1, 0}, "B/F lever in a chromatic run"},
    {System::Oehler, {"A3", "Bb3", "C4"}, {0, 0, 0}, "forked Bb3 otherwise"},
    {System::Oehler, {"D4", "Eb4", "F4"}, {0, 1, 0}, "Es/B lever next to D4"},
    {System::Oehler, {"F5", "Bb5", "F5"}, {0, 0, 0}, "side key; no 1+1 on Oehler"},
    {System::Oehler, {"A4", "B4"}, {1, 0}, "right hand down before the break"},
};

TEST(VariantRules, ReferenceExamples) {
    for (const Example& e : kExamples) {
        std::vector<int> blocks;
        for (std::string_view n : e.notes) blocks.push_back(blockOf(n));
        EXPECT_EQ(chooseVariants(e.system, blocks), e.variants)
            << (e.system == System::Boehm ? "Boehm: " : "Oehler: ") << e.why;
    }
}

TEST(VariantRules, RefusesABlockThatCannotBePlayed) {
    EXPECT_THROW(chooseVariants(System::Boehm, {blockOf("Eb3")}), std::invalid_argument);
    EXPECT_THROW(chooseVariants(System::Oehler, {blockOf("D3")}), std::invalid_argument);
}

}  // namespace
}  // namespace tarvel::dataset::test

namespace tarvel::dataset::test {
namespace {

// The reference's worked assignments for the scales, two octaves from the
// lowest tonic: the notes with a choice or a little finger. Notes above a
// twelfth scale's top are not in the exercise.
struct Worked {
    std::string_view key, boehm, oehler;
};
const Worked kWorked[] = {
    {"000", "B4 v2; C5 v0", "B4 v1; C5 v0; F5 v0"},
    {"S01", "B3 v0; B4 v2; C5 v0; F#5 v0", "B4 v1; C5 v0"},
    {"S02", "B4 v0; C#5 v1; F#5 v0", "B4 v0; C#5 v0"},
    {"S03", "B3 v0; C#4 v0; B4 v0; C#5 v1; F#5 v0; G#5 v0", "C#4 v0; B4 v0; C#5 v0; G#5 v0"},
    {"S04", "E3 v1; F#3 v0; G#3 v0; B3 v0; C#4 v0; D#4 v0; B4 v1; C#5 v0; D#5 v0",
     "E3 v0; F#3 v0; G#3 v0; C#4 v0; D#4 v0; B4 v0; C#5 v0; D#5 v0"},
    {"S05", "B3 v0; C#4 v0; D#4 v0; B4 v1; C#5 v0; D#5 v0; F#5 v0; G#5 v0; A#5 v0",
     "C#4 v0; D#4 v0; B4 v0; C#5 v0; D#5 v0; G#5 v0; A#5 v0"},
    {"S06", "F#3 v0; G#3 v0; B3 v1; C#4 v0; D#4 v0; B4 v1; C#5 v0; D#5 v0; F#5 v1",
     "F#3 v0; G#3 v0; A#3 v0; C#4 v0; D#4 v0; B4 v0; C#5 v0; D#5 v0; E#5 v0"},
    {"S07", "C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; F#5 v1; G#5 v0; A#5 v0",
     "C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; E#5 v0; G#5 v0; A#5 v0"},
    {"F01", "F3 v0; C5 v0", "F3 v0; Bb3 v0; C5 v0; F5 v0"},
    {"F02", "Eb4 v1; C5 v1; Eb5 v0; Bb5 v1", "Bb3 v0; Eb4 v1; C5 v0; Eb5 v0; F5 v0; Bb5 v1"},
    {"F03", "Eb4 v0; C5 v1; Eb5 v0; Ab5 v0; Bb5 v0", "Eb4 v0; C5 v0; Eb5 v0; F5 v0; Ab5 v0; Bb5 v0"},
    {"F04", "Ab3 v0; Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; Ab5 v0",
     "Ab3 v0; Bb3 v0; Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; F5 v0; Ab5 v0"},
    {"F05", "Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; Gb5 v1; Ab5 v0; Bb5 v0",
     "Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; F5 v0; Ab5 v0; Bb5 v0"},
    {"F06", "Gb3 v0; Ab3 v0; Cb4 v1; Db4 v0; Eb4 v0; Cb5 v1; Db5 v0; Eb5 v0; Gb5 v1",
     "Gb3 v0; Ab3 v0; Bb3 v0; Db4 v0; Eb4 v0; Cb5 v0; Db5 v0; Eb5 v0; F5 v0"},
    {"F07", "Cb4 v0; Db4 v0; Eb4 v0; Cb5 v1; Db5 v0; Eb5 v0; Gb5 v0; Ab5 v0; Bb5 v0",
     "Db4 v0; Eb4 v0; Cb5 v0; Db5 v0; Eb5 v0; Ab5 v0; Bb5 v0"},
    // Oehler D#5: the reference takes the optional left As/Es lever; the
    // exercises keep to the right As/Es key that every instrument has.
    {"S08", "E3 v0; F#3 v1; B3 v0; D#4 v0; B4 v3; C5 v1; D#5 v0", "E3 v0; F#3 v0; D#4 v0; B4 v1; C5 v0; D#5 v0"},
    {"S09", "B3 v0; C#4 v0; B4 v0; C#5 v1; F#5 v0; A#5 v0", "C#4 v0; B4 v0; C#5 v0; A#5 v0"},
    {"S10", "F#3 v0; G#3 v0; B3 v0; C#4 v0; B4 v0; C#5 v1; F#5 v1", "F#3 v0; G#3 v0; C#4 v0; B4 v0; C#5 v0; E#5 v0"},
    {"S11", "C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; F#5 v0; G#5 v0", "C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; G#5 v0"},
    {"S12", "G#3 v0; B3 v1; C#4 v0; D#4 v0; B4 v1; C#5 v0; D#5 v0; G#5 v0",
     "G#3 v0; A#3 v0; C#4 v0; D#4 v0; B4 v0; C#5 v0; D#5 v0; G#5 v0"},
    {"S13", "D#4 v0; B4 v0; D#5 v0; F#5 v1; G#5 v0; A#5 v0", "D#4 v0; B4 v0; D#5 v0; E#5 v0; G#5 v0; A#5 v0"},
    {"S14", "C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; F#5 v1; A#5 v1",
     "A#3 v0; C#4 v0; D#4 v0; B#4 v0; C#5 v0; D#5 v0; E#5 v0; A#5 v1"},
    {"F08", "C#5 v0; Bb5 v1", "C#5 v0; F5 v0; Bb5 v1"},
    {"F09", "Eb4 v1; C5 v1; Eb5 v0; F#5 v0", "Bb3 v0; Eb4 v1; C5 v0; Eb5 v0"},
    {"F10", "Eb4 v1; B4 v3; C5 v1; Eb5 v0; Ab5 v0", "Eb4 v1; B4 v1; C5 v0; Eb5 v0; F5 v0; Ab5 v0"},
    {"F11", "F3 v1; Ab3 v0; Db4 v0; C5 v0; Db5 v0", "F3 v0; Ab3 v0; Bb3 v0; Db4 v0; C5 v0; Db5 v0; F5 v0"},
    {"F12", "Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; Gb5 v1; Bb5 v1",
     "Bb3 v0; Db4 v0; Eb4 v0; C5 v0; Db5 v0; Eb5 v0; F5 v0; Bb5 v1"},
    {"F13", "Eb4 v0; Cb5 v0; Eb5 v0; Gb5 v1; Ab5 v0; Bb5 v0", "Eb4 v0; Cb5 v0; Eb5 v0; F5 v0; Ab5 v0; Bb5 v0"},
    {"F14", "Ab3 v0; Cb4 v1; Db4 v0; Eb4 v0; Cb5 v1; Db5 v0; Eb5 v0; Ab5 v0",
     "Ab3 v0; Bb3 v0; Db4 v0; Eb4 v0; Cb5 v0; Db5 v0; Eb5 v0; Ab5 v0"},
};

constexpr int kThroatG4 = 17, kThroatBb4 = 20, kClarionB4 = 21, kClarionE5 = 26;

std::map<int, int> parseWorked(std::string_view list) {
    std::map<int, int> variantOfBlock;
    std::istringstream in{std::string(list)};
    for (std::string note, v; in >> note >> v;) variantOfBlock[blockOf(note)] = v.at(1) - '0';
    return variantOfBlock;
}

TEST(VariantRules, ScalesFollowTheWorkedAssignmentsOfTheReference) {
    for (const Worked& w : kWorked)
        for (std::string_view system : kSystems) {
            const auto listed = parseWorked(system == "Boe" ? w.boehm : w.oehler);
            const auto lines = load(system, "BB", w.key).exercise.notes.Unshi_no;
            const auto top =
                std::max_element(lines.begin(), lines.end(), [](auto a, auto b) { return a / 10 < b / 10; }) -
                lines.begin();
            // The scale's last note is the tonic held into the arpeggio: its
            // fingering suits the arpeggio too (E major: the left E after the
            // left F#, ready for the right G#), so the table of a lone scale
            // is compared up to the note before it.
            for (auto i = 0; i < 2 * top; ++i) {
                const int block = lines[i] / 10, variant = lines[i] % 10;
                const auto entry = listed.find(block);
                const bool throat = block >= kThroatG4 && block <= kThroatBb4;  // right hand down, not in the list
                if (entry != listed.end()) {
                    EXPECT_EQ(variant, entry->second) << system << " " << w.key << " " << blockName(block);
                } else if (!throat) {
                    EXPECT_EQ(variant, 0) << system << " " << w.key << " " << blockName(block);
                }
            }
        }
}

TEST(VariantRules, ThroatNotesTakeTheRightHandDownExactlyNextToTheBreak) {
    for (std::string_view system : kSystems)
        for (std::string_view pairing : kPairings)
            for (const auto& key : tarvel::Key_tbl) {
                const auto lines = load(system, pairing, key.code).exercise.notes.Unshi_no;
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    if (lines[i] / 10 < kThroatG4 || lines[i] / 10 > kThroatBb4) continue;
                    bool nextToBreak = false;
                    for (std::size_t j : {i - 1, i + 1})
                        nextToBreak |= j < lines.size() && lines[j] / 10 >= kClarionB4 && lines[j] / 10 <= kClarionE5;
                    EXPECT_EQ(lines[i] % 10, nextToBreak ? 1 : 0) << system << pairing << key.code << " note " << i;
                }
            }
}

// The little-finger keys of a chart line, and whether two lines make one
// little finger go from one key straight to another.
struct Pinkies {
    char left, right;
};
Pinkies pinkies(const std::string& line) { return {line[5], line.back()}; }
int slidesBetween(const std::string& a, const std::string& b) {
    auto slide = [](char x, char y) { return x != '0' && y != '0' && x != y; };
    return slide(pinkies(a).left, pinkies(b).left) + slide(pinkies(a).right, pinkies(b).right);
}
bool usesPinky(const std::string& line) { return pinkies(line).left != '0' || pinkies(line).right != '0'; }

TEST(VariantRules, NoLittleFingerSlidesWhereAnotherChoiceAvoidsIt) {
    for (std::string_view system : kSystems) {
        const auto chart = fingeringChart(system);
        auto playable = [&](int block) {  // the standard instrument's fingerings of a block
            std::vector<std::string> out;
            for (int v = 0; v < 10; ++v) {
                const std::string& l = chart[static_cast<std::size_t>(10 * block + v)];
                const bool extraKey = l[5] == 'A' || (system == "Boe" && l.back() == 'D');
                if (l != kNotPlayableLine && !extraKey) out.push_back(l);
            }
            return out;
        };
        for (std::string_view pairing : kPairings)
            for (const auto& key : tarvel::Key_tbl) {
                const auto lines = load(system, pairing, key.code).exercise.notes.Unshi_no;
                auto chosen = [&](std::size_t i) { return chart[static_cast<std::size_t>(lines[i])]; };
                for (std::size_t first = 0; first < lines.size();) {
                    std::size_t last = first;
                    while (last + 1 < lines.size() && usesPinky(chosen(last)) && usesPinky(chosen(last + 1))) ++last;
                    // Fewest slides over the run, by any of the fingerings: a shortest path.
                    std::vector<std::string> options = playable(lines[first] / 10);
                    std::vector<int> fewest(options.size(), 0);
                    int slides = 0;
                    for (std::size_t i = first + 1; i <= last; ++i) {
                        slides += slidesBetween(chosen(i - 1), chosen(i));
                        const std::vector<std::string> next = playable(lines[i] / 10);
                        const bool repeated = lines[i] / 10 == lines[i - 1] / 10;  // keeps its fingering
                        std::vector<int> reach(next.size(), 1 << 20);
                        for (std::size_t a = 0; a < options.size(); ++a)
                            for (std::size_t b = 0; b < next.size(); ++b)
                                if (!repeated || a == b)
                                    reach[b] = std::min(reach[b], fewest[a] + slidesBetween(options[a], next[b]));
                        options = next;
                        fewest = reach;
                    }
                    EXPECT_EQ(slides, *std::min_element(fewest.begin(), fewest.end()))
                        << system << " " << pairing << " " << key.code << " notes " << first << ".." << last;
                    first = last + 1;
                }
            }
    }
}

// A held note, or a note played again at once, keeps its fingering: the
// hand changes before it or after it, never between two of its beats.
TEST(VariantRules, NoRepeatedNoteChangesFingeringInAnyFile) {
    for (std::string_view system : kSystems)
        for (std::string_view pairing : kPairings)
            for (const auto& key : tarvel::Key_tbl) {
                const auto lines = exercise(system, pairing, key.code);
                for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
                    if (lines[i].substr(0, 3) != lines[i - 1].substr(0, 3)) continue;
                    EXPECT_EQ(lines[i][3], lines[i - 1][3])
                        << system << " " << pairing << " " << key.code << " lines " << i << " and " << i + 1 << ": "
                        << lines[i - 1] << " then " << lines[i];
                }
            }
}

}  // namespace
}  // namespace tarvel::dataset::test
