// Reading an exercise file: the key line, the note lines and the end line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvel {

inline constexpr int kMaxNotes = 320;  // one note slot each

struct NoteLine {
    int line = 0;  // line number in the file, from 1
    char octave = 0, letter = 0, accidental = 0, variant = 0;
};

struct ExerciseFile {
    char sign = 0;  // '#' sharps, anything else flats
    int count = 0;  // number of accidentals of the key signature
    std::vector<NoteLine> notes;
    int endLine = 0;
};

enum class ExerciseProblem {
    Missing,    // the file cannot be opened
    NoEndLine,  // it ends without a line of at most one character
    KeyLineTooShort,
    KeyCountNotNumber,
    KeyCountOutOfRange,  // the key signature would need a sign that cannot be drawn
    OctaveNotDigit,
    OctaveZero,
    VariantNotDigit,
    TooManyNotes,
    TooFewNotes,          // fewer than two rows of 16
    NotWholeRows,         // not a multiple of 16
    ChartLineOutOfRange,  // pitch, pairing and variant give no line of the chart
};

struct ExerciseError {
    ExerciseProblem problem;
    int line = 0;        // 0 when the problem is the whole file
    std::string detail;  // the reader's reason for a missing file, the offending value otherwise
};

using ExerciseParse = std::variant<ExerciseFile, ExerciseError>;

// `lines` are the file's lines without their line ends.
ExerciseParse parseExerciseFile(const std::vector<std::string>& lines);

// The run steps through whole rows of 16 notes, at least two of them: the
// problem with a file's note count, if it has one.
std::optional<ExerciseError> checkRowCount(const ExerciseFile& file);

// At most the first few characters of a text, for quoting it in a message.
std::string excerpt(std::string_view text);

// What is wrong, for the player (Japanese) and for the data-set checker.
std::string describeForPlayer(const ExerciseError& error);
std::string describeForChecker(const ExerciseError& error);

}  // namespace tarvel
