// The grade of a run from its tempo, the player's answer and the repeat counter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvel {

// Tempo_pt before the answer: "30" gives 4 up to "480", and every other text, 12.
std::int16_t tempoPoints(std::string_view tempo);

// "Ｉ" for 1 up to "ＳＳＳ" for 14 and every other value.
std::string_view gradeText(int Grade_no);

struct Grade {
    std::int16_t Play_cnt;  // the repeat counter after this grading
    std::int16_t Grade_no;
    std::string_view text;
};

Grade gradeRun(std::string_view tempo, std::string_view answer, std::int16_t Play_cnt);

// The fourteen grades from "ＳＳＳ" down to "Ｉ", one a line (CR LF between),
// the one of Grade_no marked with "▶" and the others indented to match.
std::string gradeLadder(int Grade_no);

// The help page's account of the grades: the ladder from "Ｉ" to "ＳＳＳ", how
// tempo, answer and a run of clean answers move it, and for every tempo the
// grade of a first clean run and of the third in a row, worked out by gradeRun.
std::string gradeHelp();

// What page 6 says beside the grade: the tempo, how many runs in a row the
// repeat counter has reached, and whether the record was written.
// A drill is said to be kept in the history instead.
std::string gradeDetails(std::string_view tempo, std::int16_t Play_cnt, bool recorded, bool drill = false);

}  // namespace tarvel
