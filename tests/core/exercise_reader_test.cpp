// The exercise reader: key line, note lines, skipped lines, the end line, and
// the problems a bad file can have.
#include <gtest/gtest.h>

#include "data/exercise_file.h"
#include "data/text_lines.h"
#include "run/note_mapping.h"
#include "support/data_folder.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

ExerciseFile parsed(const std::vector<std::string>& lines) {
    ExerciseParse result = parseExerciseFile(lines);
    if (auto* error = std::get_if<ExerciseError>(&result)) {
        ADD_FAILURE() << describeForChecker(*error) << " at line " << error->line;
        return {};
    }
    return std::get<ExerciseFile>(result);
}

std::string noteTexts(const ExerciseFile& file) {
    std::string text;
    for (const NoteLine& n : file.notes)
        text += std::string{n.octave, n.letter, n.accidental, n.variant} + "@" + std::to_string(n.line) + " ";
    return text;
}

TEST(ExerciseReader, KeyLineSignAndCount) {
    const ExerciseFile sharps = parsed({"#0", "4cn0", ""});
    EXPECT_EQ(sharps.sign, '#');
    EXPECT_EQ(sharps.count, 0);
    EXPECT_EQ(sharps.notes.size(), 1u);
    const ExerciseFile flats = parsed({"b0", "4cn0", ""});
    EXPECT_EQ(flats.sign, 'b');
    EXPECT_EQ(flats.count, 0);
    EXPECT_EQ(keySignature(flats.sign, flats.count, false), keySignature(sharps.sign, sharps.count, false));
    EXPECT_EQ(parsed({"#12", "4cn0", ""}).count, 12);
}

TEST(ExerciseReader, WhichLinesAreNotesAndWhichEndTheList) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::string notes;
        int endLine;
    };
    const Case cases[] = {
        {"an empty line 2 is skipped", {"#1", "", "2cn0", "2dn0", ""}, "2cn0@3 2dn0@4 ", 5},
        {"a single character on line 2 is skipped", {"#1", "x", "2cn0", ""}, "2cn0@3 ", 4},
        {"three and five characters are skipped", {"#1", "2cn", "2cn0 ", "2dn0", ""}, "2dn0@4 ", 5},
        {"a single character from line 3 ends the list", {"#1", "2cn0", "x", "2dn0", ""}, "2cn0@2 ", 3},
        {"an empty line from line 3 ends the list", {"#1", "2cn0", "", "2dn0", ""}, "2cn0@2 ", 3},
        {"letters and accidentals are not checked", {"#1", "2Cx0", "2zq9", ""}, "2Cx0@2 2zq9@3 ", 4},
    };
    for (const Case& c : cases) {
        const ExerciseFile file = parsed(c.lines);
        EXPECT_EQ(noteTexts(file), c.notes) << c.what;
        EXPECT_EQ(file.endLine, c.endLine) << c.what;
    }
}

TEST(ExerciseReader, LineEndsOfEveryKind) {
    EXPECT_EQ(splitLines("#1\r\n4cn0\r\n\r\n"), (std::vector<std::string>{"#1", "4cn0", ""}));
    EXPECT_EQ(splitLines("#1\n4cn0\n\n"), (std::vector<std::string>{"#1", "4cn0", ""}));
    EXPECT_EQ(splitLines("#1\r\n4cn0"), (std::vector<std::string>{"#1", "4cn0"}));
    EXPECT_EQ(splitLines(""), std::vector<std::string>{});
    EXPECT_EQ(splitLines("#1\r4cn0\r\r"), (std::vector<std::string>{"#1", "4cn0", ""})) << "a lone CR ends a line";
    EXPECT_EQ(splitLines("a\r\r\nb\n\rc"), (std::vector<std::string>{"a", "", "b", "", "c"}));
    // A single line end after the last note is no end line.
    EXPECT_TRUE(std::holds_alternative<ExerciseError>(parseExerciseFile(splitLines("#1\r\n4cn0\r\n"))));
}

TEST(ExerciseReader, ProblemsNameTheirLine) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        ExerciseProblem problem;
        int line;
    };
    std::vector<std::string> tooMany = exerciseLines("#0", scaleNotes(321));
    const Case cases[] = {
        {"empty file", {}, ExerciseProblem::KeyLineTooShort, 1},
        {"key line of one character", {"#", "4cn0", ""}, ExerciseProblem::KeyLineTooShort, 1},
        {"count not a number", {"#x", "4cn0", ""}, ExerciseProblem::KeyCountNotNumber, 1},
        {"count with trailing text", {"#2 ", "4cn0", ""}, ExerciseProblem::KeyCountNotNumber, 1},
        {"negative count", {"#-1", "4cn0", ""}, ExerciseProblem::KeyCountOutOfRange, 1},
        {"count too large to draw", {"b15", "4cn0", ""}, ExerciseProblem::KeyCountOutOfRange, 1},
        {"huge count", {"b99999999999", "4cn0", ""}, ExerciseProblem::KeyCountOutOfRange, 1},
        {"no end line", {"#0", "4cn0", "4dn0"}, ExerciseProblem::NoEndLine, 3},
        {"nothing after the key line", {"#0"}, ExerciseProblem::NoEndLine, 1},
        {"octave not a digit", {"#0", "4cn0", "xcn0", ""}, ExerciseProblem::OctaveNotDigit, 3},
        {"octave zero", {"#0", "0cn0", ""}, ExerciseProblem::OctaveZero, 2},
        {"variant not a digit", {"#0", "4cnv", ""}, ExerciseProblem::VariantNotDigit, 2},
        {"more than 320 notes", tooMany, ExerciseProblem::TooManyNotes, 322},
    };
    for (const Case& c : cases) {
        const ExerciseParse result = parseExerciseFile(c.lines);
        const auto* error = std::get_if<ExerciseError>(&result);
        ASSERT_NE(error, nullptr) << c.what;
        EXPECT_EQ(error->problem, c.problem) << c.what << ": " << describeForChecker(*error);
        EXPECT_EQ(error->line, c.line) << c.what;
        EXPECT_FALSE(describeForPlayer(*error).empty());
    }
}

TEST(ExerciseReader, TheRunNeedsWholeRowsOfSixteen) {
    for (const int count : {32, 48, 320}) {
        const auto read = readExercise(exerciseLines("#0", scaleNotes(count)), "BB", false);
        EXPECT_TRUE(std::holds_alternative<LoadedExercise>(read)) << count;
    }
    const struct {
        int count;
        ExerciseProblem problem;
    } bad[] = {{1, ExerciseProblem::TooFewNotes},
               {16, ExerciseProblem::TooFewNotes},
               {31, ExerciseProblem::TooFewNotes},
               {33, ExerciseProblem::NotWholeRows},
               {319, ExerciseProblem::NotWholeRows}};
    for (const auto& c : bad) {
        const auto read = readExercise(exerciseLines("#0", scaleNotes(c.count)), "BB", false);
        const auto* error = std::get_if<ExerciseError>(&read);
        ASSERT_NE(error, nullptr) << c.count;
        EXPECT_EQ(error->problem, c.problem) << c.count;
        EXPECT_EQ(error->line, c.count + 2) << "the end line names the problem";
    }
}

TEST(ExerciseReader, ChartLineOutsideTheChart) {
    for (const std::string low : {"1cn0", "1df0"}) {
        std::vector<std::string> notes = scaleNotes(32);
        notes[5] = low;
        const auto read = readExercise(exerciseLines("#0", notes), "BB", false);
        const auto* error = std::get_if<ExerciseError>(&read);
        ASSERT_NE(error, nullptr) << low;
        EXPECT_EQ(error->problem, ExerciseProblem::ChartLineOutOfRange);
        EXPECT_EQ(error->line, 7);
    }
    std::vector<std::string> notes = scaleNotes(32);
    notes[0] = "9bx9";  // far above the chart
    EXPECT_TRUE(std::holds_alternative<ExerciseError>(readExercise(exerciseLines("#0", notes), "BB", false)));
    // Written D3 is chart line 0 for a B-flat part, below the chart for an A part.
    notes[0] = "1dn0";
    EXPECT_TRUE(std::holds_alternative<LoadedExercise>(readExercise(exerciseLines("#0", notes), "BB", false)));
    EXPECT_TRUE(std::holds_alternative<ExerciseError>(readExercise(exerciseLines("#0", notes), "BA", false)));
}

// A message quotes a short excerpt of an offending line, never the whole line.
TEST(ExerciseMessages, QuoteAnExcerptOfTheOffendingLine) {
    const std::string huge = "#" + std::string(1 << 20, '7') + "x";
    const auto parsed = parseExerciseFile({huge, "4cn0", ""});
    ASSERT_TRUE(std::holds_alternative<ExerciseError>(parsed));
    for (const std::string& text :
         {describeForPlayer(std::get<ExerciseError>(parsed)), describeForChecker(std::get<ExerciseError>(parsed))}) {
        EXPECT_LT(text.size(), 200u) << text.substr(0, 200);
        EXPECT_NE(text.find("777"), std::string::npos);
    }
    EXPECT_EQ(excerpt("4cn0"), "4cn0");
    EXPECT_EQ(excerpt("a\rb\tc"), "a?b?c");
    const std::string wide = std::string(23, 'a') + "ＡＢ";  // a full-width letter across the cut
    EXPECT_EQ(excerpt(wide), std::string(23, 'a') + "…（29 バイト）");
}

}  // namespace
}  // namespace tarvel
