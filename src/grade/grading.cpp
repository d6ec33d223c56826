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

std::string gradeHelp() {
    const std::string br(text::kLineBreak);
    std::string help = "成績のしくみ" + br;
    help += "成績は " + std::to_string(kGradeTexts.size()) + " 段：" + br + "　";
    // Two lines of the ladder, so that no grade is broken in two.
    for (std::size_t g = 0; g < kGradeTexts.size(); ++g)
        help += (g == 0 ? "" : g == kGradeTexts.size() / 2 + 2 ? br + "　＜" : "＜") + std::string(kGradeTexts[g]);
    help += br;
    help += "・テンポを１つ速くすると、成績も１段上がります。" + br;
    help +=
        "・同じテンポで「ミスなし」を続けると、２回目は１段、３回目は２段上がります（「もう一回」で続けたとき。"
        "テンポや調をかえると１回目から。４回目はまた１回目と同じ）。" +
        br;
    help += "・「ミス 1〜2回」は１段、「ミス 3〜5回」は２段下がり、「ミス 6回以上」はいつも " +
            std::string(kGradeTexts.front()) + "。" + br;
    help += "上をめざすには：ミスなしを３回続けてから、テンポを１つ上げます。" + br + br;
    help += "ミスなしの成績（１回目 → ３回続けたとき）" + br;
    int column = 0;
    for (const TempoChoice& tempo : kTempoChoices) {
        const Grade first = gradeRun(tempo.tempo, "0", 0);
        const Grade third = gradeRun(tempo.tempo, "0", 2);
        help += "♩=" + std::string(tempo.tempo) + " " + std::string(first.text) + "→" + std::string(third.text);
        help += ++column % 3 == 0 ? br : "　";
    }
    return help;
}

std::string gradeDetails(std::string_view tempo, std::int16_t Play_cnt, bool recorded, bool drill) {
    std::string details = "テンポ　♩=" + std::string(tempo);
    details += text::kLineBreak;
    details += "くり返し　" + std::to_string(Play_cnt) + "回目";
    details += text::kLineBreak;
    if (drill)
        details += "苦手ドリル（履歴に残しました）";
    else
        details += recorded ? "記録しました" : "記録できませんでした";
    return details;
}

}  // namespace tarvel
