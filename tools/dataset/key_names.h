// What the key buttons say: the key's name (kept with the key table) and the
// key signature its code stands for.
#pragma once

#include <array>
#include <string_view>

#include "keys/key_names.h"
#include "run/note_mapping.h"

namespace tarvel::dataset {

using tarvel::KeyName;
using tarvel::kKeyNames;

// The key signature of a key code: "S03" and "S10" three sharps, "F09" two flats.
KeySignature keySignatureOfKey(std::string_view code);

}  // namespace tarvel::dataset
