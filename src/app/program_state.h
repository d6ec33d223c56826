// The values the window keeps for the life of the program, in this order:
// the player's choices in Settings and what the run and grading hand on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/fingering_chart.h"
#include "run/note_mapping.h"

namespace tarvel {

struct ProgramState {
    KeySignature Choshi_tbl{};
    std::array<std::string, 7> Settings{};  // slot 0 is never used
    std::int16_t Play_cnt = 0;
    std::int16_t Onp_cnt = 0;
    FingeringTable Unshi_tbl{};
    std::int16_t Cancel_flg = 0;
    // While the player drills the notes they miss: the drill's exercise file
    // (its data path), which the run loads instead of the key's. Empty otherwise.
    std::string drillExercise;
};

}  // namespace tarvel
