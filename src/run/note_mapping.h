// From an exercise file to what the run shows: the beat length, the key
// signature, and for every note its note picture code and its chart line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "data/exercise_file.h"

namespace tarvel {

using KeySignature = std::array<std::int16_t, 8>;  // Choshi_tbl

inline constexpr int kChartLines = 501;

// Milliseconds per beat: 60 / tempo x 1000, rounded half to even.
std::int16_t beatLength(std::string_view tempo);

// Choshi_tbl for a key line; with the check box ticked every entry is natural.
KeySignature keySignature(char sign, int count, bool showKeyInNotes);

// Semitones from the written note to the fingered one: "BB" 0, "BC" +2, "BA" -1.
std::int16_t pairingOffset(std::string_view pairing);

struct MappedNotes {
    std::vector<std::int16_t> Unshi_no;  // chart line of each note
    std::vector<std::int16_t> Onp_code;  // written note: octave, letter index, accidental
    std::vector<std::int16_t> Onp_pic;   // note picture code: its last digit is the sign drawn
};

// Maps every note and runs the signs-within-a-bar pass; fails on a note whose
// chart line lies outside 0 to 500.
std::variant<MappedNotes, ExerciseError> mapNotes(const ExerciseFile& file, std::int16_t offset,
                                                  const KeySignature& Choshi_tbl);

// The chart line of a written note code (as Onp_code) in one of its block's
// fingerings, as mapNotes finds it; nullopt outside the chart.
std::optional<std::int16_t> chartLineOfWritten(std::int16_t written, int variant, std::int16_t offset);

// The signs-within-a-bar pass over the note picture codes, from the last note.
void applySignsWithinBars(std::vector<std::int16_t>& Onp_pic, const KeySignature& Choshi_tbl);

// Everything the loading stage needs from one file, as the program reads it.
struct LoadedExercise {
    KeySignature Choshi_tbl{};
    MappedNotes notes;
};
std::variant<LoadedExercise, ExerciseError> readExercise(const std::vector<std::string>& lines,
                                                         std::string_view pairing, bool showKeyInNotes);

}  // namespace tarvel
