// The run screen's staff pictures: the staff lines with the treble clef and
// the bar lines, the key signatures, and one picture per note position and sign.
#pragma once

#include <vector>

#include "music_glyphs.h"
#include "picture.h"
#include "run/note_mapping.h"

namespace tarvel::dataset {

// "system\hyouji\5line.gif"
Picture drawStaff(const MusicGlyphs& glyphs);
// "system\hyouji\choshi\<seven digits>.gif"
Picture drawKeySignature(const KeySignature& table, const MusicGlyphs& glyphs);
// "system\Linehyouji\<code>.gif"
Picture drawNote(int code, const MusicGlyphs& glyphs);

// The key signatures of 0 to 7 sharps and 1 to 7 flats, as the loader builds them.
std::vector<KeySignature> everyKeySignature();

// Paints the signs of a key signature in their order on a staff whose
// bottom line lies at `bottomLineY`, the first sign's left edge at `left`;
// returns the right edge of the last sign (`left` when there is none).
double paintKeySignature(QPainter& p, const KeySignature& table, const MusicGlyphs& glyphs, double left,
                         double bottomLineY, QColor ink);

// Every picture of the staves.
std::vector<Picture> staffPictures();

}  // namespace tarvel::dataset
