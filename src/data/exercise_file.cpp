#include "data/exercise_file.h"

#include <algorithm>
#include <charconv>

namespace tarvel {
namespace {

constexpr int kMaxKeyCount = 14;
constexpr int kNotesPerRow = 16;  // beyond, Choshi_tbl would hold codes no sign exists for

bool isDigit(char c) { return c >= '0' && c <= '9'; }

ExerciseError at(ExerciseProblem problem, int line, std::string detail = {}) {
    return ExerciseError{problem, line, std::move(detail)};
}

}  // namespace

ExerciseParse parseExerciseFile(const std::vector<std::string>& lines) {
    if (lines.empty() || lines[0].size() < 2)
        return at(ExerciseProblem::KeyLineTooShort, 1, lines.empty() ? "" : lines[0]);

    ExerciseFile file;
    const std::string& keyLine = lines[0];
    file.sign = keyLine[0];
    const char* first = keyLine.data() + 1;
    const char* last = keyLine.data() + keyLine.size();
    const auto [end, ec] = std::from_chars(first, last, file.count);
    if (ec == std::errc::result_out_of_range) return at(ExerciseProblem::KeyCountOutOfRange, 1, keyLine.substr(1));
    if (ec != std::errc{} || end != last) return at(ExerciseProblem::KeyCountNotNumber, 1, keyLine.substr(1));
    if (file.count < 0 || file.count > kMaxKeyCount)
        return at(ExerciseProblem::KeyCountOutOfRange, 1, keyLine.substr(1));

    // Line 2 is always taken or skipped; from line 3 on, a line of at most one
    // character ends the notes.
    for (std::size_t i = 1;; ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        if (i >= lines.size()) return at(ExerciseProblem::NoEndLine, static_cast<int>(lines.size()));
        const std::string& text = lines[i];
        if (i >= 2 && text.size() <= 1) {
            file.endLine = lineNumber;
            break;
        }
        if (text.size() != 4) continue;
        if (!isDigit(text[0])) return at(ExerciseProblem::OctaveNotDigit, lineNumber, text);
        if (text[0] == '0') return at(ExerciseProblem::OctaveZero, lineNumber, text);
        if (!isDigit(text[3])) return at(ExerciseProblem::VariantNotDigit, lineNumber, text);
        if (static_cast<int>(file.notes.size()) == kMaxNotes)
            return at(ExerciseProblem::TooManyNotes, lineNumber, text);
        file.notes.push_back(NoteLine{lineNumber, text[0], text[1], text[2], text[3]});
    }

    return file;
}

std::optional<ExerciseError> checkRowCount(const ExerciseFile& file) {
    const int count = static_cast<int>(file.notes.size());
    if (count < 2 * kNotesPerRow) return at(ExerciseProblem::TooFewNotes, file.endLine, std::to_string(count));
    if (count % kNotesPerRow != 0) return at(ExerciseProblem::NotWholeRows, file.endLine, std::to_string(count));
    return std::nullopt;
}

std::string excerpt(std::string_view text) {
    constexpr std::size_t kShown = 24;
    std::string shown;
    std::size_t end = std::min(text.size(), kShown);
    // Never cut a UTF-8 character in two.
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    for (std::size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    if (end < text.size()) shown += "…（" + std::to_string(text.size()) + " バイト）";
    return shown;
}

std::string describeForPlayer(const ExerciseError& error) {
    ExerciseError e = error;
    if (e.problem != ExerciseProblem::Missing) e.detail = excerpt(e.detail);
    switch (e.problem) {
    case ExerciseProblem::Missing: return "ファイルを開けません（" + e.detail + "）";
    case ExerciseProblem::NoEndLine: return "音符の終わりを示す空の行がありません";
    case ExerciseProblem::KeyLineTooShort: return "1 行目（調号の行）が短すぎます";
    case ExerciseProblem::KeyCountNotNumber: return "調号の数「" + e.detail + "」が数字ではありません";
    case ExerciseProblem::KeyCountOutOfRange:
        return "調号の数「" + e.detail + "」は 0 から 14 の間でなければなりません";
    case ExerciseProblem::OctaveNotDigit: return "音符「" + e.detail + "」のオクターブが数字ではありません";
    case ExerciseProblem::OctaveZero: return "音符「" + e.detail + "」のオクターブが 0 です";
    case ExerciseProblem::VariantNotDigit: return "音符「" + e.detail + "」の運指番号が数字ではありません";
    case ExerciseProblem::TooManyNotes: return "音符が 320 個を超えています";
    case ExerciseProblem::TooFewNotes: return "音符が " + e.detail + " 個しかありません（32 個以上必要です）";
    case ExerciseProblem::NotWholeRows: return "音符の数 " + e.detail + " が 16 の倍数ではありません";
    case ExerciseProblem::ChartLineOutOfRange: return "音符「" + e.detail + "」の運指が運指表にありません";
    }
    return {};
}

std::string describeForChecker(const ExerciseError& error) {
    ExerciseError e = error;
    if (e.problem != ExerciseProblem::Missing) e.detail = excerpt(e.detail);
    switch (e.problem) {
    case ExerciseProblem::Missing: return "cannot be opened (" + e.detail + ")";
    case ExerciseProblem::NoEndLine: return "no end line (a line of at most one character) after the notes";
    case ExerciseProblem::KeyLineTooShort: return "key line shorter than two characters";
    case ExerciseProblem::KeyCountNotNumber: return "key signature count '" + e.detail + "' is not a whole number";
    case ExerciseProblem::KeyCountOutOfRange: return "key signature count '" + e.detail + "' is outside 0 to 14";
    case ExerciseProblem::OctaveNotDigit: return "note '" + e.detail + "': octave is not a digit";
    case ExerciseProblem::OctaveZero: return "note '" + e.detail + "': octave 0";
    case ExerciseProblem::VariantNotDigit: return "note '" + e.detail + "': fingering variant is not a digit";
    case ExerciseProblem::TooManyNotes: return "more than 320 notes";
    case ExerciseProblem::TooFewNotes: return e.detail + " notes, fewer than 32";
    case ExerciseProblem::NotWholeRows: return e.detail + " notes, not a multiple of 16";
    case ExerciseProblem::ChartLineOutOfRange: return "note '" + e.detail + "': chart line outside 0 to 500";
    }
    return {};
}

}  // namespace tarvel
