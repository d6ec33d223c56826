// The fingering diagrams: nine transparent layers per note, one per finger
// (L1 .. R5), that lie exactly on one another. Each layer draws only its own
// finger's holes and keys, filled where the finger closes or presses them
// and outlined where it leaves them open; its part of the instrument's body
// comes with it. Every finger has the code "X" (the note cannot be played on
// this system: a greyed diagram under a red cross) and the empty code (a
// chart line too short to reach the finger: nothing at all).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "picture.h"

namespace tarvel::dataset {

inline constexpr int kFingerWidth = 50;
inline constexpr int kFingerHeight = 150;

enum class FingerSystem { Boehm, Oehler };

// "Boe" or "Oeh": the system's folder under "system\unshi\".
std::string_view systemFolder(FingerSystem system);

// The codes of one finger on one system, "X" and the empty code not included.
std::string_view fingerCodes(FingerSystem system, int finger);

// The picture of finger `finger` (0 = L1 .. 8 = R5) in the state `code`
// ("" for the empty code).
Picture drawFinger(FingerSystem system, int finger, std::string_view code);

// Every finger picture of both systems.
std::vector<Picture> fingerPictures();

}  // namespace tarvel::dataset
