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

// How the signs of a key signature stand: the width of the sharps as a share
// of the font's own (0: as the glyphs have them for notes), and the room
// between two signs in pixels (negative: a tenth of a staff space).
struct SignSpacing {
    double sharpWidthScale = 0;
    double gap = -1;
};

// The run screen's spacing: the signs as the notes have them, seven of
// them spread over `room` pixels, with at most `widestGap` between two.
// Throws BuildError when seven signs would stand closer than 2 px.
SignSpacing signatureSpacing(const MusicGlyphs& glyphs, double room, double widestGap);

// Paints the signs of a key signature in their order on a staff whose
// bottom line lies at `bottomLineY`, the first sign's left edge at `left`;
// returns the right edge of the last sign (`left` when there is none).
double paintKeySignature(QPainter& p, const KeySignature& table, const MusicGlyphs& glyphs, double left,
                         double bottomLineY, QColor ink, const SignSpacing& spacing = {});

// Screen x of the first key-signature sign on the run screen: right of the clef.
double firstSignScreenX(const MusicGlyphs& glyphs);

// Every picture of the staves.
std::vector<Picture> staffPictures();

}  // namespace tarvel::dataset
