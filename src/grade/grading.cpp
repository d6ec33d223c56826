#include "grade/grading.h"

#include <array>

#include "app/choices.h"
#include "app/texts.h"

namespace tarvel {
namespace {

constexpr std::array<std::string_view, 14> kGradeTexts{
    "Ｉ", "Ｈ", "Ｇ", "Ｆ", "Ｅ", "Ｄ", "Ｃ", "Ｂ", "Ａ", "ＡＡ", "ＡＡＡ", "Ｓ", "ＳＳ", "ＳＳＳ",
};
constexpr std::int16_t kTopTempoPoints = 12;
constexpr std::int16_t kMaxRepeats = 3;
constexpr std::string_view kReachedMark = "▶";
constexpr std::string_view kNotReached = "　";

}  // namespace

std::int16_t tempoPoints(std::string_view tempo) {
    for (const TempoChoice& choice : kTempoChoices)
        if (choice.tempo == tempo) return choice.tempoPoints;
    return kTopTempoPoints;
}

std::string_view gradeText(int Grade_no) {
    if (Grade_no >= 1 && Grade_no <= static_cast<int>(kGradeTexts.size())) return kGradeTexts[Grade_no - 1];
    return kGradeTexts.back();
}

Grade gradeRun(std::string_view tempo, std::string_view answer, std::int16_t Play_cnt) {
    std::int16_t Tempo_pt = tempoPoints(tempo);
    if (answer == "1")
        Tempo_pt = static_cast<std::int16_t>(Tempo_pt - 1);
    else if (answer == "2")
        Tempo_pt = static_cast<std::int16_t>(Tempo_pt - 2);
    else if (answer == "3")
        Tempo_pt = 1;

    if (answer == "0" && Play_cnt < kMaxRepeats)
        Play_cnt = static_cast<std::int16_t>(Play_cnt + 1);
    else
        Play_cnt = 1;

    const auto Grade_no = static_cast<std::int16_t>(Tempo_pt + Play_cnt - 1);
    return Grade{Play_cnt, Grade_no, gradeText(Grade_no)};
}

std::string gradeLadder(int Grade_no) {
    const int count = static_cast<int>(kGradeTexts.size());
    // Values outside the table read as its top grade, as gradeText does.
    const int reached = Grade_no >= 1 && Grade_no <= count ? Grade_no : count;
    std::string ladder;
    for (int n = count; n >= 1; --n) {
        ladder += n == reached ? kReachedMark : kNotReached;
        ladder += kGradeTexts[static_cast<std::size_t>(n - 1)];
        if (n > 1) ladder += text::kLineBreak;
    }
    return ladder;
}

std::string gradeDetails(std::string_view tempo, std::int16_t Play_cnt, bool recorded) {
    std::string details = "テンポ　♩=" + std::string(tempo);
    details += text::kLineBreak;
    details += "くり返し　" + std::to_string(Play_cnt) + "回目";
    details += text::kLineBreak;
    details += recorded ? "記録しました" : "記録できませんでした";
    return details;
}

}  // namespace tarvel
