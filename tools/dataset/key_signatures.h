// The key signature a key button shows for its code (the key's name comes
// from the key table).
#pragma once

#include <string_view>

#include "keys/key_table.h"
#include "run/note_mapping.h"

namespace tarvel::dataset {

using tarvel::KeyEntry;

// The key signature of a key code: "S03" and "S10" three sharps, "F09" two flats.
KeySignature keySignatureOfKey(std::string_view code);

}  // namespace tarvel::dataset
