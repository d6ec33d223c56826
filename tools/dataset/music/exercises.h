// The exercises: for every system, pairing and key the scale over the
// intermediate range, then the tonic arpeggio, in bars of four, with the
// fingering variant of every note chosen by the system's rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart.h"
#include "keys.h"

namespace tarvel::dataset {

// How the part relates to the B-flat clarinet that plays it: "BB" a B-flat
// part, "BC" a part for C instruments (fingered a whole tone higher than
// written), "BA" a part for A clarinet (fingered a semitone lower).
enum class Pairing { BB, BC, BA };
std::optional<Pairing> pairingFromName(std::string_view name);
int pairingOffset(Pairing pairing);  // semitones from the written to the fingered note

// The fingered scale: tonic block and how many scale steps it climbs (14 for
// two octaves, 11 for a twelfth).
struct ScaleRange {
    int tonicBlock = 0;
    int steps = 0;
};
// The lowest tonic at or above E3; two octaves where the top stays at or
// below C6, else a twelfth.
ScaleRange intermediateRange(int tonicPitchClass);

struct ExerciseNote {
    SpelledPitch written;
    int step = 0;   // scale steps above the low tonic
    int block = 0;  // fingered chart block
    int variant = 0;
};

struct Exercise {
    Key key;
    Pairing pairing = Pairing::BB;
    ScaleRange range;
    int scaleNotes = 0;  // the first section: scale up and down, held tonic
    std::vector<ExerciseNote> notes;
};

Exercise buildExercise(System system, Pairing pairing, const Key& key);

// The file's lines: the key line, one note line per note, the empty end line.
std::vector<std::string> exerciseLines(const Exercise& exercise);

}  // namespace tarvel::dataset
