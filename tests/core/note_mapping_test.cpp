// From notes to chart lines and note pictures: beat length, key signature,
// pairing offsets and the signs drawn within a bar.
#include <gtest/gtest.h>

#include "run/note_mapping.h"
#include "support/data_folder.h"

namespace tarvel {
namespace {

std::string digits(const KeySignature& table) {
    std::string text;
    for (int k = 0; k <= 6; ++k) text += std::to_string(table[k]);
    return text;
}

// The sign digits of the note pictures of `notes` in a key.
std::string signs(const std::string& keyLine, const std::vector<std::string>& notes) {
    ExerciseFile file = std::get<ExerciseFile>(parseExerciseFile(test::exerciseLines(keyLine, notes)));
    const KeySignature key = keySignature(file.sign, file.count, false);
    const MappedNotes mapped = std::get<MappedNotes>(mapNotes(file, 0, key));
    std::string text;
    for (const std::int16_t pic : mapped.Onp_pic) text += std::to_string(pic % 10);
    return text;
}

TEST(NoteMapping, BeatLengthRoundsHalfToEven) {
    const std::pair<const char*, int> beats[] = {{"30", 2000}, {"42", 1429}, {"60", 1000}, {"85", 706},
                                                 {"120", 500}, {"170", 353}, {"240", 250}, {"340", 176},
                                                 {"480", 125}, {"24000", 2},  // 2.5 goes to the even neighbour
                                                 {"40000", 2},                // 1.5 too
                                                 {"8000", 8}};                // 7.5
    for (const auto& [tempo, ms] : beats) EXPECT_EQ(beatLength(tempo), ms) << tempo;
}

TEST(NoteMapping, KeySignatureDigits) {
    const struct {
        char sign;
        int count;
        bool showKeyInNotes;
        const char* digits;
    } cases[] = {
        {'#', 0, false, "2222222"}, {'b', 0, false, "2222222"}, {'#', 2, false, "3322222"}, {'b', 3, false, "2222111"},
        {'#', 7, false, "3333333"}, {'b', 7, false, "1111111"}, {'#', 1, false, "3222222"}, {'b', 1, false, "2222221"},
        {'x', 2, false, "2222211"},  // any sign but "#" means flats
        {'#', 2, true, "2222222"},  {'b', 7, true, "2222222"},  {'#', 8, false, "4333333"}, {'b', 14, false, "0000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(digits(keySignature(c.sign, c.count, c.showKeyInNotes)), c.digits) << c.sign << c.count;
}

TEST(NoteMapping, CodesAndChartLines) {
    const ExerciseFile file = std::get<ExerciseFile>(parseExerciseFile({"#1", "3f#2", "4Cn0", "2cn0", "1en1", ""}));
    const KeySignature key = keySignature(file.sign, file.count, false);
    const MappedNotes bb = std::get<MappedNotes>(mapNotes(file, pairingOffset("BB"), key));
    EXPECT_EQ(bb.Onp_code, (std::vector<std::int16_t>{303, 462, 212, 152}));
    // f sharp is in the key: no sign. The capital C reads as b natural.
    EXPECT_EQ(bb.Onp_pic, (std::vector<std::int16_t>{305, 465, 215, 155}));
    // Pitch 12 x 3 + 5 + 1 = 42 gives block 28, variant 2.
    EXPECT_EQ(bb.Unshi_no, (std::vector<std::int16_t>{282, 450, 100, 21}));
    const MappedNotes bc = std::get<MappedNotes>(mapNotes(file, pairingOffset("BC"), key));
    const MappedNotes ba = std::get<MappedNotes>(mapNotes(file, pairingOffset("BA"), key));
    EXPECT_EQ(bc.Unshi_no, (std::vector<std::int16_t>{302, 470, 120, 41}));
    EXPECT_EQ(ba.Unshi_no, (std::vector<std::int16_t>{272, 440, 90, 11}));
    EXPECT_EQ(bc.Onp_pic, bb.Onp_pic);
    EXPECT_EQ(ba.Onp_pic, bb.Onp_pic);
    EXPECT_EQ(pairingOffset("XX"), 0);
    EXPECT_EQ(pairingOffset(""), 0);
}

TEST(NoteMapping, SignsWithinABar) {
    const struct {
        const char* what;
        const char* key;
        std::vector<std::string> notes;
        const char* signs;
    } cases[] = {
        {"key of one sharp: f sharp needs no sign, f natural does", "#1", {"2f#0", "2gn0", "2an0", "2fn0"}, "5552"},
        {"a repeated sign is not drawn, a changed one is", "#0", {"2f#0", "2f#0", "2fn0", "2f#0"}, "3523"},
        {"after an altered note the key's own sign comes back", "#1", {"2fn0", "2f#0", "2gn0", "2an0"}, "2355"},
        {"a new bar forgets the last one",
         "#0",
         {"2cn0", "2dn0", "2en0", "2f#0", "2fn0", "2gn0", "2an0", "2bn0"},
         "55535555"},
        {"other octaves on the same letter do not count", "#0", {"2f#0", "3f#0", "2f#0", "3f#0"}, "3355"},
        {"the first of five notes is a bar of its own", "#0", {"2f#0", "2f#0", "2gn0", "2an0", "2bn0"}, "33555"},
        {"only the nearest earlier note counts", "#0", {"2f#0", "2fn0", "2fn0", "2cn0"}, "3255"},
        {"double sharp and double flat", "#0", {"2fx0", "2fx0", "2bf0", "2bf0"}, "4505"},
    };
    for (const auto& c : cases) EXPECT_EQ(signs(c.key, c.notes), c.signs) << c.what;
}

TEST(NoteMapping, CheckBoxShowsEverySignInTheNotes) {
    const auto read = readExercise(test::exerciseLines("#2", std::vector<std::string>(32, "2f#0")), "BB", true);
    const LoadedExercise& loaded = std::get<LoadedExercise>(read);
    EXPECT_EQ(digits(loaded.Choshi_tbl), "2222222");
    // Every bar shows the sharp on its first note, then the sign holds.
    EXPECT_EQ(loaded.notes.Onp_pic[0], 203);
    EXPECT_EQ(loaded.notes.Onp_pic[1], 205);
    EXPECT_EQ(loaded.notes.Onp_pic[4], 203);
}

}  // namespace
}  // namespace tarvel
