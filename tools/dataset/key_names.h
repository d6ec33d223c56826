// What the key buttons show besides their name: minor or major, and the key
// signature a key code stands for.
#pragma once

#include <string_view>

#include "run/note_mapping.h"

namespace tarvel::dataset {

// The key names themselves are the program's own, in Key_tbl: the buttons
// show what the program says elsewhere.
inline bool isMinorKey(std::string_view code) { return code.size() == 3 && code.substr(1) > "07"; }

// The key signature of a key code: "S03" and "S10" three sharps, "F09" two flats.
KeySignature keySignatureOfKey(std::string_view code);

}  // namespace tarvel::dataset
