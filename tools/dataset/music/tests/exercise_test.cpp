// The 174 exercise files, read by the program's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "data/exercise_file.h"
#include "keys/key_table.h"
#include "support.h"

namespace tarvel::dataset::test {
namespace {

// The keys of the written part and the intermediate ranges of the reference.
struct KeyExpectation {
    std::string_view code, tonic;
    bool minor;
    std::string_view keyLine, low, top;  // written range of the B-flat part
};
const KeyExpectation kKeys[] = {
    {"000", "C", false, "#0", "C4", "C6"},    {"S01", "G", false, "#1", "G3", "G5"},
    {"S02", "D", false, "#2", "D4", "A5"},    {"S03", "A", false, "#3", "A3", "A5"},
    {"S04", "E", false, "#4", "E3", "E5"},    {"S05", "B", false, "#5", "B3", "B5"},
    {"S06", "F#", false, "#6", "F#3", "F#5"}, {"S07", "C#", false, "#7", "C#4", "G#5"},
    {"F01", "F", false, "b1", "F3", "F5"},    {"F02", "Bb", false, "b2", "Bb3", "Bb5"},
    {"F03", "Eb", false, "b3", "Eb4", "Bb5"}, {"F04", "Ab", false, "b4", "Ab3", "Ab5"},
    {"F05", "Db", false, "b5", "Db4", "Ab5"}, {"F06", "Gb", false, "b6", "Gb3", "Gb5"},
    {"F07", "Cb", false, "b7", "Cb4", "Cb6"}, {"S08", "E", true, "#1", "E3", "E5"},
    {"S09", "B", true, "#2", "B3", "B5"},     {"S10", "F#", true, "#3", "F#3", "F#5"},
    {"S11", "C#", true, "#4", "C#4", "G#5"},  {"S12", "G#", true, "#5", "G#3", "G#5"},
    {"S13", "D#", true, "#6", "D#4", "A#5"},  {"S14", "A#", true, "#7", "A#3", "A#5"},
    {"F08", "D", true, "b1", "D4", "A5"},     {"F09", "G", true, "b2", "G3", "G5"},
    {"F10", "C", true, "b3", "C4", "C6"},     {"F11", "F", true, "b4", "F3", "F5"},
    {"F12", "Bb", true, "b5", "Bb3", "Bb5"},  {"F13", "Eb", true, "b6", "Eb4", "Bb5"},
    {"F14", "Ab", true, "b7", "Ab3", "Ab5"},
};
const KeyExpectation& expectationFor(std::string_view code) {
    return *std::find_if(std::begin(kKeys), std::end(kKeys), [code](const auto& k) { return k.code == code; });
}

// A note line as written: staff step (c 0 .. b 6 from octave digit 0) and
// semitone shift.
struct Written {
    int staffStep, shift;
};
Written written(const std::string& line) {
    static constexpr std::string_view letters = "cdefgab", signs = "fbn#x";
    return {7 * (line[0] - '0') + static_cast<int>(letters.find(line[1])), static_cast<int>(signs.find(line[2])) - 2};
}
int letterOf(std::string_view tonic) { return static_cast<int>(std::string_view("CDEFGAB").find(tonic[0])); }
int shiftOf(std::string_view tonic) { return tonic.size() == 1 ? 0 : tonic[1] == '#' ? 1 : -1; }

using File = std::tuple<std::string_view, std::string_view, int>;  // system, pairing, Key_tbl index

class ExerciseFileTest : public ::testing::TestWithParam<File> {
protected:
    std::string_view system() const { return std::get<0>(GetParam()); }
    std::string_view pairing() const { return std::get<1>(GetParam()); }
    std::string_view key() const { return tarvel::Key_tbl[static_cast<std::size_t>(std::get<2>(GetParam()))].code; }
    const KeyExpectation& expected() const { return expectationFor(key()); }
};

// === As the program reads it ===

TEST_P(ExerciseFileTest, EveryLineBetweenKeyLineAndEndLineIsANote) {
    const auto lines = exercise(system(), pairing(), key());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 4u) << "line " << i + 1;
    const auto parsed = tarvel::parseExerciseFile(lines);
    ASSERT_TRUE(std::holds_alternative<tarvel::ExerciseFile>(parsed));
    const auto& file = std::get<tarvel::ExerciseFile>(parsed);
    EXPECT_EQ(file.notes.size(), lines.size() - 2);
    EXPECT_EQ(file.endLine, static_cast<int>(lines.size()));
    EXPECT_EQ(file.notes.size() % 16, 0u);
    EXPECT_GE(file.notes.size(), 48u);
    EXPECT_LE(file.notes.size(), 160u);
}

TEST_P(ExerciseFileTest, KeyLineIsTheSignatureOfTheWrittenKey) {
    EXPECT_EQ(exercise(system(), pairing(), key()).front(), expected().keyLine);
}

TEST_P(ExerciseFileTest, EveryNoteFindsAPlayableChartLineOfTheStandardInstrument) {
    const auto chart = fingeringChart(system());
    for (std::int16_t line : load(system(), pairing(), key()).exercise.notes.Unshi_no) {
        const std::string& fingering = chart.at(static_cast<std::size_t>(line));
        EXPECT_NE(fingering, kNotPlayableLine) << "chart line " << line;
        const bool leftAbLever = fingering[5] == 'A';  // Boehm Ab/Eb, Oehler As/Es: fitted to some instruments
        const bool lowEb = system() == "Boe" && fingering[10] == 'D';
        EXPECT_FALSE(leftAbLever || lowEb) << "chart line " << line << ": not on the standard instrument";
    }
}

TEST_P(ExerciseFileTest, EveryNotePictureIsOneTheDataSetDraws) {
    static constexpr int staffStepOfLetterIndex[] = {3, 0, 4, 1, 5, 2, 6};  // f c g d a e b
    for (bool showKeyInNotes : {false, true})
        for (std::int16_t pic : load(system(), pairing(), key(), showKeyInNotes).exercise.notes.Onp_pic) {
            const int octave = pic / 100, position = 7 * octave + staffStepOfLetterIndex[pic / 10 % 10];
            EXPECT_TRUE(octave >= 1 && octave <= 5 && position >= 7 && position <= 35 && pic % 10 <= 5) << pic;
        }
}

// === Musical content ===

TEST_P(ExerciseFileTest, EveryNoteBelongsToTheKeysScaleWithItsOwnSign) {
    const auto lines = exercise(system(), pairing(), key());
    const auto signature = tarvel::keySignature(lines[0][0], lines[0][1] - '0', false);
    static constexpr int letterIndexOfStaffStep[] = {1, 3, 5, 0, 2, 4, 6};  // c d e f g a b
    const int tonic = letterOf(expected().tonic);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const Written w = written(lines[i]);
        int shift = signature[letterIndexOfStaffStep[w.staffStep % 7]] - 2;
        if (expected().minor && w.staffStep % 7 == (tonic + 6) % 7) ++shift;  // raised seventh
        EXPECT_EQ(w.shift, shift) << lines[i];
    }
    for (const std::string& end : {lines[1], lines[lines.size() - 2]}) {
        EXPECT_EQ(written(end).staffStep % 7, tonic) << end;
        EXPECT_EQ(written(end).shift, shiftOf(expected().tonic)) << end;
    }
}

TEST_P(ExerciseFileTest, ScaleRunsUpAndDownByStepThenTheTonicArpeggio) {
    const auto lines = exercise(system(), pairing(), key());
    std::vector<int> steps;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) steps.push_back(written(lines[i]).staffStep);
    const int top = static_cast<int>(std::max_element(steps.begin(), steps.end()) - steps.begin());
    EXPECT_TRUE(top == 14 || top == 11) << "two octaves or a twelfth, not " << top << " steps";
    for (int i = 0; i < 2 * top; ++i) EXPECT_EQ(steps[i + 1] - steps[i], i < top ? 1 : -1) << "note " << i;
    for (std::size_t i = 2 * top; i < steps.size(); ++i) {
        const int degree = steps[i] - steps[0];
        EXPECT_TRUE(degree >= 0 && degree <= top && degree % 7 % 2 == 0 && degree % 7 != 6) << "note " << i;
    }
    // Padding holds the tonic to the end of a bar, never through a further bar.
    auto tonicOnly = [&](std::size_t bar) {
        return std::all_of(steps.begin() + 4 * bar, steps.begin() + 4 * bar + 4, [&](int s) { return s == steps[0]; });
    };
    for (std::size_t bar = 1; bar < steps.size() / 4; ++bar)
        EXPECT_FALSE(tonicOnly(bar - 1) && tonicOnly(bar)) << "bars " << bar << " and " << bar + 1;
}

TEST(BFlatParts, SpanTheIntermediateRangeOfTheReference) {
    for (std::string_view system : kSystems)
        for (const KeyExpectation& k : kKeys) {
            const auto& lines = load(system, "BB", k.code).exercise.notes.Unshi_no;
            const auto [low, high] = std::minmax_element(lines.begin(), lines.end());
            EXPECT_EQ(lines.front() / 10, blockOf(std::string(k.low))) << k.code;
            EXPECT_EQ(*low / 10, blockOf(std::string(k.low))) << k.code;
            EXPECT_EQ(*high / 10, blockOf(std::string(k.top))) << k.code;
        }
}

// The C part in key K and the A part in key K sound in K and a minor third
// below; the B-flat part sounds a whole tone below its key. Files that sound
// the same must be fingered the same, note for note and variant for variant.
TEST(Transposition, PartsThatSoundAlikeAreFingeredAlike) {
    const std::map<std::string_view, int> soundsBelowWritten{{"BB", 2}, {"BC", 0}, {"BA", 3}};
    for (std::string_view system : kSystems) {
        std::map<std::pair<int, bool>, std::vector<std::pair<std::string, std::vector<std::int16_t>>>> byConcertKey;
        for (std::string_view pairing : kPairings)
            for (const KeyExpectation& k : kKeys) {
                const int concert =
                    ((blockOf(std::string(k.tonic) + "4") - soundsBelowWritten.at(pairing)) % 12 + 12) % 12;
                byConcertKey[{concert, k.minor}].emplace_back(std::string(pairing) + " " + std::string(k.code),
                                                              load(system, pairing, k.code).exercise.notes.Unshi_no);
            }
        int withBFlatPart = 0;
        for (const auto& [concertKey, files] : byConcertKey) {
            for (const auto& [name, fingered] : files)
                EXPECT_EQ(fingered, files.front().second) << system << " " << name << " vs " << files.front().first;
            withBFlatPart += std::any_of(files.begin(), files.end(), [](const auto& f) { return f.first[1] == 'B'; });
        }
        // Of the 24 concert keys only G minor (the C part of G minor, the A
        // parts of Bb and A# minor) has no B-flat part: A minor is no key here.
        EXPECT_EQ(withBFlatPart, 23) << system;
        EXPECT_EQ(byConcertKey.size(), 24u) << system;
    }
}

std::vector<File> allFiles() {
    std::vector<File> out;
    for (std::string_view s : kSystems)
        for (std::string_view p : kPairings)
            for (int k = 0; k < static_cast<int>(tarvel::Key_tbl.size()); ++k) out.emplace_back(s, p, k);
    return out;
}

INSTANTIATE_TEST_SUITE_P(AllFiles, ExerciseFileTest, ::testing::ValuesIn(allFiles()), [](const auto& file) {
    return std::string(std::get<0>(file.param)) + "_" + std::string(std::get<1>(file.param)) + "_" +
           std::string(tarvel::Key_tbl[static_cast<std::size_t>(std::get<2>(file.param))].code);
});

}  // namespace
}  // namespace tarvel::dataset::test
