// The fingering diagrams: nine transparent layers per note, one per finger
// (L1 .. R5), that lie exactly on one another. Each layer draws only its own
// finger's holes and keys: a tone hole is filled where the finger closes it
// and outlined where it stays open; a pressed key is drawn larger, orange and
// outlined in black, so that it stands out from every other mark, while the
// keys left alone stay small and pale. Its part of the instrument's body comes
// with the layer. Every finger has the code "X" (the note cannot be played on
// this system: a greyed diagram under a red cross) and the empty code (a chart
// line too short to reach the finger: nothing at all).
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

#include <string>
#include <string_view>
#include <vector>

#include "picture.h"

namespace tarvel::dataset {

inline constexpr int kFingerWidth = 50;
inline constexpr int kFingerHeight = 150;

// The colour of a pressed key: no hole, key, body or cross has it.
inline const QColor kPressedKey{0xff, 0x8a, 0x00};

enum class FingerSystem { Boehm, Oehler };

// "Boe" or "Oeh": the system's folder under "system\unshi\".
std::string_view systemFolder(FingerSystem system);

// The codes of one finger on one system, "X" and the empty code not included.
std::string_view fingerCodes(FingerSystem system, int finger);

// The run's large diagram of the note being played: the same layers drawn at
// 1.8 times the size, as large as the free room beside the staves allows.
inline constexpr double kBigScale = 1.8;
inline constexpr int kBigFingerWidth = 90;
inline constexpr int kBigFingerHeight = 270;

// The picture of finger `finger` (0 = L1 .. 8 = R5) in the state `code`
// ("" for the empty code), for the row diagrams or, `big`, the large one.
Picture drawFinger(FingerSystem system, int finger, std::string_view code, bool big = false);

// Every finger picture of both systems, in both sizes.
std::vector<Picture> fingerPictures();

// One hole or key of a diagram, with its Japanese name, for the legend.
struct DiagramPart {
    int finger = 0;
    bool isKey = false;
    QRectF box;                  // in diagram pixels
    std::string_view code;       // the finger codes that close or press it
    std::string_view name;       // e.g. "右小指 Ｆ／Ｃキー": for a key, its name in the program's key table
    std::string_view note = {};  // what the legend adds: "（フルベームのみ）"
};
std::vector<DiagramPart> diagramParts(FingerSystem system);

// Paints the whole diagram with every hole open and no key pressed, in the
// diagram's own coordinates (scale the painter to enlarge it); a part drawn
// only when it is pressed (the full-Boehm low Eb key) is included when
// `withOptional` is set.
void paintOpenDiagram(QPainter& p, FingerSystem system, bool withOptional);

// Paints one mark as the diagrams draw it, in `box`: a tone hole open or
// closed, a key left alone or pressed.
enum class Mark { OpenHole, ClosedHole, Key, PressedKey };
void paintMark(QPainter& p, Mark mark, const QRectF& box);

}  // namespace tarvel::dataset
