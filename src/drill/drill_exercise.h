// The drill made of the notes a player misses: an exercise file in the format
// of the data set's, so that it plays through the same run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

inline constexpr int kDrillFewestNotes = 32;  // the run needs two whole rows
inline constexpr int kDrillMostNotes = 48;
inline constexpr std::size_t kDrillMostTargets = 12;

struct DrillNote {
    std::int16_t written = 0;  // Onp_code
    int variant = 0;           // the fingering line of its chart block
};

// The key line of a key code: "#3" for "S03" and "S10", "b2" for "F02" and "F09".
std::string keyLineOf(std::string_view keyCode);

// The written note a step above (+1) or below (-1) on the staff, with the
// sign the key gives that letter.
std::int16_t stepInKey(std::int16_t written, int step, std::string_view keyCode);

// The drill's lines: the key line, then each target with its neighbours in
// the key, the step below, the note, the step above, the note (so the change
// of fingering is drilled, not a leap), over again until 32 to 48 notes in
// whole rows of 16, and the empty end line. A neighbour `playable` refuses
// (out of the instrument's range) gives way to the other one.
std::vector<std::string> drillExercise(const std::vector<DrillNote>& targets, std::string_view keyCode,
                                       const std::function<bool(std::int16_t written)>& playable);

// A note line of the exercise format: "3f#0".
std::string noteLine(std::int16_t written, int variant);

}  // namespace tarvel
