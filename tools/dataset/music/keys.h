// The keys of the drill (those of the key page), named by the key of the
// written part, and the spelling of their scales.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "keys/key_table.h"

namespace tarvel::dataset {

enum class Mode { Major, HarmonicMinor };

// A written pitch: letter (0 c, 1 d, 2 e, 3 f, 4 g, 5 a, 6 b), accidental in
// semitones (-2 double flat .. +2 double sharp) and scientific octave (C4 is
// middle C; the octave follows the letter, so C-flat 4 lies below C4).
struct SpelledPitch {
    int letter = 0;
    int accidental = 0;
    int octave = 4;
};
int midiNumber(const SpelledPitch& p);  // C4 = 60

struct Key {
    std::string_view code;  // "000", "S01" .. "S14", "F01" .. "F14"
    Mode mode = Mode::Major;
    int signature = 0;  // sharps (> 0) or flats (< 0) of the key signature
    int tonicLetter = 0;
    int tonicAccidental = 0;
};

inline constexpr std::size_t kKeys = tarvel::Key_tbl.size();

// In the order of the key page.
const std::array<Key, kKeys>& keys();
std::optional<Key> keyFromCode(std::string_view code);

// Accidental that the key gives a letter: from the signature, and for the
// leading note of a harmonic minor one semitone more.
int scaleAccidental(const Key& key, int letter);

// Semitones of the seven degrees above the tonic.
const std::array<int, 7>& degreeSemitones(Mode mode);

// "E major", "G# minor", for documentation and reports.
std::string keyName(const Key& key);
std::string pitchName(const SpelledPitch& p);  // "F##4", "Bb3"

}  // namespace tarvel::dataset
