// The run's mark on the note being played: a blue ring round the note head,
// one picture per staff position, the size of a note picture, so that it lies
// exactly on the note it marks.
#pragma once

#include <vector>

#include "picture.h"

namespace tarvel::dataset {

// The ring's colour: no note, sign, diagram or slip mark has it.
inline const QColor kNowMarkColour{0x1a, 0x6f, 0xe0};

// "system\hyouji\now\<octave digit><letter index>.gif", C3 to C7.
std::vector<Picture> nowMarkPictures();

}  // namespace tarvel::dataset
