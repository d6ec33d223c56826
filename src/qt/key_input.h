// The keyboard keys the pages know, from Qt's key codes.
#pragma once

#include <optional>

#include "app/keyboard.h"

namespace tarvel {

// Digits of the main row and of the keypad alike; Return and the keypad's
// Enter alike; letters in either case. Nullopt for every other key.
std::optional<KeyInput> keyInputFor(int qtKey);

}  // namespace tarvel
