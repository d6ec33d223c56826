// What a written note is called, and where it lies on the clarinet.
#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

// "ファ♯5" for the written note code 303: the solfège name, its sign, and the
// octave digit + 2 (as the note pictures count octaves).
std::string writtenNoteName(std::int16_t code);

// The clarinet's registers, by the fingering's written pitch on the B♭
// clarinet: chalumeau to written F♯4, the throat tones G4 to B♭4, clarion B4
// to C6, altissimo above.
enum class Register { Chalumeau, Throat, Clarion, Altissimo };
Register registerOf(int clarinetWrittenMidi);
const char* registerName(Register r);  // "シャリュモー"

}  // namespace tarvel
