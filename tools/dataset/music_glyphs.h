// Clef, signs and note heads from the music font, scaled to the staff and
// placed by the staff's own geometry: the font draws its five-line staff with
// the bottom line on the baseline, and every glyph at one baseline stands on
// the same pitch as the note head drawn there.
#pragma once

#include <QPainterPath>
#include <QRawFont>

namespace tarvel::dataset {

enum class Sign { DoubleFlat = 0, Flat = 1, Natural = 2, Sharp = 3, DoubleSharp = 4 };

class MusicGlyphs {
public:
    // Glyphs for a staff whose lines stand `lineSpacing` pixels apart.
    explicit MusicGlyphs(double lineSpacing);

    // Paths with the origin at the left edge of the ink and the vertical
    // origin on the pitch of the note (the centre of its line or space).
    QPainterPath noteHead() const;
    QPainterPath sign(Sign sign) const;
    // A sign at `widthScale` of the width the font gives it (1.0: as the font draws it).
    QPainterPath sign(Sign sign, double widthScale) const;
    // The treble clef with its origin at its left edge on the bottom line.
    QPainterPath trebleClef() const;
    // The quarter note, for the tempo buttons, origin on its baseline.
    QPainterPath quarterNote() const;

    double lineSpacing() const { return lineSpacing_; }

private:
    QPainterPath glyph(char32_t codePoint) const;
    QPainterPath atPitch(char32_t codePoint, double widthScale = 1.0) const;

    double lineSpacing_;
    QRawFont font_;
    double pitchAboveBaseline_ = 0;  // the note head's centre above the baseline
    double baselineBelowLine_ = 0;   // the baseline lies at the bottom edge of the bottom line
};

}  // namespace tarvel::dataset
