// The caption that tells the player where they are: the choices made so far,
// "ベーム式・B♭管・イ長調・♩=120".
#pragma once

#include <array>
#include <string>

namespace tarvel {

// How far the caption goes: the key page names system and part, the tempo
// page the key too, the run and the pages after it the tempo as well.
enum class CaptionDepth { Pairing, Key, Tempo };

using SettingsSlots = std::array<std::string, 7>;

// One line. A choice not made (an empty slot, as after the unmarked square of
// page 1) is left out.
std::string contextCaption(const SettingsSlots& Settings, CaptionDepth depth);

// The same choices on two lines for the narrow margin of the run screen:
// system and part, then key and tempo.
std::string runContextCaption(const SettingsSlots& Settings);

}  // namespace tarvel
