// The grade of a run from its tempo, the player's answer and the repeat counter.
#pragma once

#include <cstdint>
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

}  // namespace tarvel
