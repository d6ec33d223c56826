// The fingering charts, decoded back to holes and keys with the finger-code
// alphabet of the pictures and compared with the fingering reference.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "chart.h"
#include "data/data_paths.h"
#include "support.h"
#include "tables.h"

namespace tarvel::dataset::test {
namespace {

// The alphabet the finger pictures are drawn for, code -> reference token,
// per finger group in chart order L1 L2 L3 L4 L5 R2 R3 R4 R5.
using Alphabet = std::array<std::map<char, std::string>, 9>;

Alphabet alphabet(std::string_view system) {
    const std::map<char, std::string> hole{{'0', "-"}, {'1', "x"}};
    Alphabet a;
    a[0] = {{'0', "-"}, {'1', "T"}, {'2', "TR"}, {'3', "R"}};
    a[1] = {{'0', "-"}, {'1', "x"}, {'A', "A"}, {'G', "G#"}};
    a[2] = a[6] = a[7] = hole;
    a[3] = {{'0', "-"}, {'1', "x"}, {'S', "Sl"}};
    if (system == "Boe") {
        a[4] = {{'0', "-"}, {'E', "E/B"}, {'F', "F/C"}, {'H', "F#/C#"}, {'C', "C#/G#"}, {'A', "Ab/Eb"}};
        a[5] = {{'0', "-"}, {'1', "x"}, {'S', "sBb"}, {'F', "x+sF#"}};
        a[8] = {{'0', "-"}, {'E', "E/B"}, {'F', "F/C"}, {'H', "F#/C#"}, {'A', "Ab/Eb"}, {'D', "lowEb"}};
    } else {
        a[4] = {{'0', "-"}, {'E', "E/B"}, {'H', "F#/C#"}, {'C', "C#/G#"}, {'A', "Ab/Eb"}, {'B', "Bb/F"}};
        a[5] = {{'0', "-"}, {'1', "x"}, {'S', "sBb"}};
        a[8] = {{'0', "-"}, {'F', "F/C"}, {'A', "Ab/Eb"}};
    }
    return a;
}

// A chart line back in the reference's tokens, read through the program's
// own finger positions; empty when a code is outside the alphabet.
std::string decode(std::string_view system, const std::string& line) {
    const Alphabet a = alphabet(system);
    std::string out;
    for (std::size_t f = 0; f < tarvel::kFingerPositions.size(); ++f) {
        const std::string code = tarvel::fingerCode(line, tarvel::kFingerPositions[f]);
        const auto token = code.size() == 1 ? a[f].find(code[0]) : a[f].end();
        if (token == a[f].end()) return {};
        out += (out.empty() ? "" : " ") + token->second;
    }
    return out;
}

struct Reference {
    std::string_view note;
    int variant;
    std::string_view fingering;
};

// Every row the reference marks ✓.
const Reference kBoehmSure[] = {
    {"E3", 0, "T x x x E/B x x x -"},     {"E3", 1, "T x x x - x x x E/B"},     {"F3", 0, "T x x x - x x x F/C"},
    {"F3", 1, "T x x x F/C x x x -"},     {"F#3", 0, "T x x x F#/C# x x x -"},  {"F#3", 1, "T x x x - x x x F#/C#"},
    {"G3", 0, "T x x x - x x x -"},       {"G#3", 0, "T x x x - x x x Ab/Eb"},  {"Ab3", 1, "T x x x Ab/Eb x x x -"},
    {"A3", 0, "T x x x - x x - -"},       {"Bb3", 0, "T x x x - x - - -"},      {"B3", 0, "T x x x - - x - -"},
    {"C4", 0, "T x x x - - - - -"},       {"C#4", 0, "T x x x C#/G# - - - -"},  {"D4", 0, "T x x - - - - - -"},
    {"D#4", 0, "T x - - - sBb - - -"},    {"Eb4", 1, "T x - Sl - - - - -"},     {"Eb4", 2, "T x - - - x - - -"},
    {"E4", 0, "T x - - - - - - -"},       {"F4", 0, "T - - - - - - - -"},       {"F#4", 0, "- x - - - - - - -"},
    {"G4", 0, "- - - - - - - - -"},       {"G4", 1, "- - - - - x x x -"},       {"G#4", 0, "- G# - - - - - - -"},
    {"Ab4", 1, "- G# - - - x x x -"},     {"A4", 0, "- A - - - - - - -"},       {"A4", 1, "- A - - - x x x -"},
    {"Bb4", 0, "R A - - - - - - -"},      {"A#4", 1, "R A - - - x x x -"},      {"B4", 0, "TR x x x E/B x x x -"},
    {"B4", 1, "TR x x x - x x x E/B"},    {"Cb5", 2, "TR x x x E/B x x x F/C"}, {"B4", 3, "TR x x x F/C x x x E/B"},
    {"C5", 0, "TR x x x - x x x F/C"},    {"B#4", 1, "TR x x x F/C x x x -"},   {"C#5", 0, "TR x x x F#/C# x x x -"},
    {"Db5", 1, "TR x x x - x x x F#/C#"}, {"D5", 0, "TR x x x - x x x -"},      {"D#5", 0, "TR x x x - x x x Ab/Eb"},
    {"Eb5", 1, "TR x x x Ab/Eb x x x -"}, {"E5", 0, "TR x x x - x x - -"},      {"F5", 0, "TR x x x - x - - -"},
    {"F#5", 0, "TR x x x - - x - -"},     {"Gb5", 1, "TR x x x - x+sF# - - -"}, {"G5", 0, "TR x x x - - - - -"},
    {"G#5", 0, "TR x x x C#/G# - - - -"}, {"A5", 0, "TR x x - - - - - -"},      {"A#5", 0, "TR x - - - sBb - - -"},
    {"Bb5", 1, "TR x - Sl - - - - -"},    {"Bb5", 2, "TR x - - - x - - -"},     {"B5", 0, "TR x - - - - - - -"},
    {"C6", 0, "TR - - - - - - - -"},
};
const Reference kOehlerSure[] = {
    {"E3", 0, "T x x x E/B x x x -"},    {"F3", 0, "T x x x - x x x F/C"},     {"G3", 0, "T x x x - x x x -"},
    {"G#3", 0, "T x x x - x x x Ab/Eb"}, {"A3", 0, "T x x x - x x - -"},       {"C4", 0, "T x x x - - - - -"},
    {"C#4", 0, "T x x x C#/G# - - - -"}, {"D4", 0, "T x x - - - - - -"},       {"Eb4", 1, "T x - Sl - - - - -"},
    {"E4", 0, "T x - - - - - - -"},      {"G4", 0, "- - - - - - - - -"},       {"G#4", 0, "- G# - - - - - - -"},
    {"A4", 0, "- A - - - - - - -"},      {"B4", 0, "TR x x x E/B x x x -"},    {"C5", 0, "TR x x x - x x x F/C"},
    {"D5", 0, "TR x x x - x x x -"},     {"Eb5", 0, "TR x x x - x x x Ab/Eb"}, {"E5", 0, "TR x x x - x x - -"},
    {"G5", 0, "TR x x x - - - - -"},     {"G#5", 0, "TR x x x C#/G# - - - -"}, {"A5", 0, "TR x x - - - - - -"},
    {"Bb5", 1, "TR x - Sl - - - - -"},   {"Bb5", 2, "TR x - x - - - - -"},     {"B5", 0, "TR x - - - - - - -"},
};

class ChartTest : public ::testing::TestWithParam<std::string_view> {
protected:
    std::string_view system() const { return GetParam(); }
    std::vector<std::string> lines() const { return fingeringChart(system()); }
    std::string line(int block, int variant) const {
        return lines().at(static_cast<std::size_t>(10 * block + variant));
    }
};

// === Shape and alphabet ===

TEST_P(ChartTest, HasOneLinePerVariantOfEveryBlockUpToLine500) {
    const auto chart = lines();
    ASSERT_EQ(chart.size(), 501u);
    for (std::size_t i = 0; i < chart.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        ASSERT_EQ(chart[i].size(), 11u);
        EXPECT_EQ(chart[i][1], '|');
        EXPECT_EQ(chart[i][6], '|');
        EXPECT_TRUE(chart[i] == kNotPlayableLine || !decode(system(), chart[i]).empty())
            << chart[i] << " is neither not playable nor made of the system's finger codes";
    }
}

TEST_P(ChartTest, VariantsOfABlockFollowOneAnotherFromVariantZero) {
    for (int block = 0; block < 50; ++block) {
        bool gap = false;
        for (int v = 0; v < 10; ++v) {
            const bool charted = line(block, v) != kNotPlayableLine;
            EXPECT_FALSE(gap && charted) << "block " << block << " variant " << v << " follows an empty variant";
            gap |= !charted && !(block == 1 && v == 0);  // low Eb: v0 is the standard instrument's "not playable"
        }
    }
}

TEST_P(ChartTest, EveryBlockFromE3ToC6IsPlayableAndNothingAboveIsCharted) {
    for (int block = 2; block <= 34; ++block) EXPECT_NE(line(block, 0), kNotPlayableLine) << blockName(block);
    for (std::size_t i = 350; i < 501; ++i) EXPECT_EQ(lines()[i], kNotPlayableLine) << "line " << i;
}

TEST_P(ChartTest, D3IsNotPlayableAndLowEbOnlyWithTheFullBoehmKey) {
    for (int v = 0; v < 10; ++v) EXPECT_EQ(line(0, v), kNotPlayableLine);
    EXPECT_EQ(line(1, 0), kNotPlayableLine);
    if (system() == "Boe")
        EXPECT_EQ(decode(system(), line(1, 1)), "T x x x - x x x lowEb");
    else
        EXPECT_EQ(line(1, 1), kNotPlayableLine);
}

// === Against the reference ===

TEST_P(ChartTest, RowsTheReferenceMarksSureDecodeToTheReferenceFingering) {
    const auto& rows = system() == "Boe" ? std::vector<Reference>(std::begin(kBoehmSure), std::end(kBoehmSure))
                                         : std::vector<Reference>(std::begin(kOehlerSure), std::end(kOehlerSure));
    for (const Reference& r : rows)
        EXPECT_EQ(decode(system(), line(blockOf(r.note), r.variant)), r.fingering) << r.note << " v" << r.variant;
}

TEST_P(ChartTest, ClarionIsTheChalumeauATwelfthLowerPlusTheRegisterKey) {
    for (int block = blockOf("B4"); block <= blockOf("C6"); ++block) {
        ASSERT_NE(line(block - 19, 0), kNotPlayableLine);
        for (int v = 0; v < 10; ++v) {
            std::string low = line(block - 19, v);
            if (low == kNotPlayableLine) continue;
            ASSERT_EQ(low[0], '1') << "thumb hole closed a twelfth lower";
            low[0] = '2';
            EXPECT_EQ(line(block, v), low) << blockName(block) << " v" << v;
        }
    }
}

std::string readme() {
    std::ifstream in(TARVEL_MUSIC_README);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_P(ChartTest, ReadmeListsEveryLineToBeConfirmed) {
    const std::string readme = test::readme();
    const auto section = readme.find("## To be confirmed by a player");
    ASSERT_NE(section, std::string::npos);
    const std::string list = readme.substr(section, readme.find("\n## ", section + 1) - section);
    const System s = *systemFromName(system());
    for (const ChartEntry& e : chartEntries(s)) {
        const bool listed =
            list.find("| " + std::string(system()) + " | " + std::to_string(e.block) + " | " + blockName(e.block) +
                      " | " + std::to_string(e.variant) + " |") != std::string::npos;
        EXPECT_EQ(listed, e.confidence == Confidence::Uncertain || e.sideKeyToCheck)
            << blockName(e.block) << " v" << e.variant << (listed ? " listed but not uncertain" : " missing");
    }
}

TEST(Readme, EndsWithTheTablesTheCodeMakes) {
    const std::string text = readme(), tables = readmeTables();
    ASSERT_GE(text.size(), tables.size()) << TARVEL_MUSIC_README;
    EXPECT_EQ(text.substr(text.size() - tables.size()), tables) << "paste the output of tarvel-music-tables";
}

INSTANTIATE_TEST_SUITE_P(BothSystems, ChartTest, ::testing::ValuesIn(kSystems));

}  // namespace
}  // namespace tarvel::dataset::test
