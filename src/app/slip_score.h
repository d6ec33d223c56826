// Page 5 after a heard run: the exercise's rows on a small staff with every
// slip marked on its note (a wrong note, a note not heard) and every extra
// note heard between two notes. Built from marks per note position and the
// extra notes between positions; the text list of the slips stays beside it
// for screen readers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listen/judging.h"

namespace tarvel {

struct SlipMarks {
    std::vector<Mark> marks;      // one per note of the exercise
    std::vector<int> extraAfter;  // an extra note was heard after note i, before note i + 1 (-1: before the first)
};

// What a judged run gives the page.
SlipMarks slipMarksOf(const Judgement& judgement);

// The rows of the exercise the small staff shows, at most `shown`: every row
// when there are no more; else the rows with a slip, from the first; else
// the first rows.
std::vector<int> scoreRowsShown(const SlipMarks& slips, int rowCount, int shown);

// The pictures, drawn by the data set at the small staff's size.
// "system\hyouji\mini\5line_1.gif" (with the clef: the first row's stretch) or "...\5line.gif"
std::string miniStaffPicture(int stretch);
// "system\hyouji\mini\choshi\" + the seven digits of Choshi_tbl + ".gif"
std::string miniKeySignaturePicture(const std::array<std::int16_t, 8>& Choshi_tbl);
// "system\Linehyouji\mini\" + Onp_pic + ".gif"
std::string miniNotePicture(std::int16_t Onp_pic);
// A ring round the head of the note at Onp_pic's place: red for a wrong note,
// grey and broken for one not heard.
std::string slipMarkPicture(Mark mark, std::int16_t Onp_pic);
inline constexpr std::string_view kExtraNotePicture = "system\\hyouji\\mini\\extra.gif";
// The three marks with their words: ちがう音, 聞こえない, 余分な音.
inline constexpr std::string_view kSlipLegendPicture = "system\\hyouji\\mini\\marks.gif";

}  // namespace tarvel
