// Where things stand on the run screen's staves. The staff picture, the key
// signatures and the note pictures all have their top at the top of the
// staff's band (y 0 of the upper staff, y 360 of the lower), so one y in this
// file means the same screen row in all three.
//
// Steps count diatonic positions from the bottom line (written E4 = step 0),
// one step per line or space: step 2 is the second line (G4), step 8 the top
// line (F5). Note picture codes use the octave digit (1 = written C3 to B3)
// and the letter index of the key signature (f c g d a e b = 0 to 6).
#pragma once

#include <array>
#include <vector>

namespace tarvel::dataset::staff {

inline constexpr int kLineSpacing = 10;  // pixels from one staff line to the next
inline constexpr int kStepHeight = kLineSpacing / 2;
inline constexpr int kBottomLineY = 140;
inline constexpr int kLineCount = 5;
inline constexpr int kMiddleLineStep = 4;  // B4
inline constexpr int kTopLineStep = 8;     // F5

// Staff line l (0 = bottom .. 4 = top) and the centre of step s.
constexpr int lineY(int line) { return kBottomLineY - kLineSpacing * line; }
constexpr int stepY(int step) { return kBottomLineY - kStepHeight * step; }

// The step of a note picture position.
constexpr std::array<int, 7> kLetterDegree{3, 0, 4, 1, 5, 2, 6};  // f c g d a e b above c
constexpr int staffStep(int octaveDigit, int letterIndex) {
    return 7 * (octaveDigit - 2) + kLetterDegree[letterIndex] - 2;
}

// The positions a note picture exists for: written C3 to C7.
inline constexpr int kLowestStep = -9;   // octave digit 1, c
inline constexpr int kHighestStep = 19;  // octave digit 5, c

// The steps of the ledger lines a note on `step` needs, nearest the staff first.
std::vector<int> ledgerSteps(int step);

// Stems go up from notes below the middle line and down from the others.
constexpr bool stemUp(int step) { return step < kMiddleLineStep; }

// Every note picture code, 100 x octave digit + 10 x letter index + sign
// digit (0 double flat, 1 flat, 2 natural, 3 sharp, 4 double sharp, 5 none),
// for every position from C3 to C7 and every sign, in ascending order.
std::vector<int> notePictureCodes();

// The staff's key-signature positions of each letter (f c g d a e b): where
// its sharp and where its flat stands in a treble-clef signature.
inline constexpr std::array<int, 7> kSharpStep{8, 5, 9, 6, 3, 7, 4};  // F5 C5 G5 D5 A4 E5 B4
inline constexpr std::array<int, 7> kFlatStep{1, 5, 2, 6, 3, 7, 4};   // F4 C5 G4 D5 A4 E5 B4

// Picture sizes. A note picture fills one note column above the finger diagrams.
inline constexpr int kNoteWidth = 52;
inline constexpr int kNoteHeight = 200;
inline constexpr int kBandHeight = 200;  // staff and key-signature pictures

// Screen x of the staff picture, the key-signature pictures and the first
// note column, and where the staff lines end (the window is 1016 wide).
inline constexpr int kStaffLeft = 56;
inline constexpr int kKeySignatureLeft = 24;
inline constexpr int kFirstColumnLeft = 176;
inline constexpr int kStaffRight = 1015;  // the window's last column: lines and the closing bar line end there

// Inside a note picture: the note head's left edge, and the widest sign's
// room to the left of the ledger lines.
inline constexpr int kHeadLeft = 22;
inline constexpr double kLedgerOverhang = 0.35;  // staff spaces beyond the head on either side
inline constexpr double kSignGap = 1.0;          // pixels between a sign and the ledger line's end

}  // namespace tarvel::dataset::staff
