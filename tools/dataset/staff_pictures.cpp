#include "staff_pictures.h"

#include <algorithm>
#include <cmath>

#include "data/data_paths.h"
#include "gif_writer.h"
#include "run/note_mapping.h"
#include "staff_geometry.h"
#include "ui/elements.h"

namespace tarvel::dataset {
namespace {

using namespace staff;

const QColor kInk{0, 0, 0};

constexpr int kClefLeft = 2;  // inside the staff picture

// The staff lines across a picture of `width`, on `background`: the matte of
// everything that lies over the staff.
QImage staffMatte(int width, QColor background) {
    QImage matte = matteCanvas(QSize(width, kBandHeight), background);
    QPainter p(&matte);
    for (int line = 0; line < kLineCount; ++line) p.fillRect(0, lineY(line), width, 1, kInk);
    return matte;
}

// Signs are drawn a little heavier than the font has them, so their thin
// strokes stay black at this size instead of turning grey.
void fillSign(QPainter& p, const QPainterPath& path, double lineSpacing, QColor ink = kInk) {
    p.fillPath(path, ink);
    p.strokePath(path, QPen(ink, 0.045 * lineSpacing));
}

void fillCrisp(QPainter& p, int left, int top, int width, int height) {
    p.fillRect(QRect(left, top, width, height), kInk);
}

// Screen x of the bar lines after every fourth note column.
std::array<int, 3> barLineX() {
    std::array<int, 3> x{};
    for (int bar = 1; bar <= 3; ++bar) x[bar - 1] = twipsToPixels(Slot_x(4 * bar)) - 3;
    return x;
}

// Room between two signs of a run-screen key signature: at least enough
// that the antialiased edges of neighbours never meet, at most a little
// more than a quarter of a space.
constexpr double kNarrowestSignatureGap = 2.0;
constexpr double kWidestSignatureGap = 3.0;

}  // namespace

double firstSignScreenX(const MusicGlyphs& glyphs) {
    return kStaffLeft + kClefLeft + glyphs.trebleClef().boundingRect().width() + 0.4 * glyphs.lineSpacing();
}

SignSpacing signatureSpacing(const MusicGlyphs& glyphs, double room, double widestGap) {
    const double widest =
        std::max(glyphs.sign(Sign::Sharp).boundingRect().width(), glyphs.sign(Sign::Flat).boundingRect().width());
    const double gap = std::min(widestGap, (room - 7 * widest) / 6);
    if (gap < kNarrowestSignatureGap)
        throw BuildError("seven signs do not fit apart in the " + std::to_string(room) +
                         " px left of the first note column");
    return {0, gap};
}

Picture drawStaff(const MusicGlyphs& glyphs) {
    const int width = kStaffRight - kStaffLeft + 1;
    QImage drawing = blankDrawing(QSize(width, kBandHeight));
    QPainter p(&drawing);
    for (int line = 0; line < kLineCount; ++line) fillCrisp(p, 0, lineY(line), width, 1);
    const int barTop = lineY(kLineCount - 1);
    const int barHeight = lineY(0) - barTop + 1;
    for (int x : barLineX()) fillCrisp(p, x - kStaffLeft, barTop, 1, barHeight);
    fillCrisp(p, width - 1, barTop, 1, barHeight);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(glyphs.trebleClef().translated(kClefLeft, lineY(0)), kInk);
    p.end();
    // The clef stands left of the message label, on the window's grey.
    return {std::string(kStaffPicture), drawing, solidMatte(drawing.size(), kWindowGrey)};
}

double paintKeySignature(QPainter& p, const KeySignature& table, const MusicGlyphs& glyphs, double left,
                         double bottomLineY, QColor ink, const SignSpacing& spacing) {
    p.setRenderHint(QPainter::Antialiasing);
    double x = left;
    double right = left;
    const double gap = spacing.gap >= 0 ? spacing.gap : 0.1 * glyphs.lineSpacing();
    auto place = [&](Sign sign, int step) {
        const QPainterPath glyph = sign == Sign::Sharp && spacing.sharpWidthScale > 0
                                       ? glyphs.sign(sign, spacing.sharpWidthScale)
                                       : glyphs.sign(sign);
        const QPainterPath path = glyph.translated(x, bottomLineY - step * glyphs.lineSpacing() / 2);
        fillSign(p, path, glyphs.lineSpacing(), ink);
        right = path.boundingRect().right();
        x = right + gap;
    };
    // Sharps enter in letter order f c g d a e b, flats in the reverse order.
    for (int k = 0; k < 7; ++k)
        if (table[k] == 3) place(Sign::Sharp, kSharpStep[k]);
    for (int k = 6; k >= 0; --k)
        if (table[k] == 1) place(Sign::Flat, kFlatStep[k]);
    return right;
}

Picture drawKeySignature(const KeySignature& table, const MusicGlyphs& glyphs) {
    const int width = kFirstColumnLeft - kKeySignatureLeft;
    QImage drawing = blankDrawing(QSize(width, kBandHeight));
    QPainter p(&drawing);
    // The signs may use the whole width up to the first note column, less a
    // pixel for their antialiased edge and one to keep clear of the column.
    const double left = firstSignScreenX(glyphs) - kKeySignatureLeft;
    const double right = paintKeySignature(p, table, glyphs, left, lineY(0), kInk,
                                           signatureSpacing(glyphs, width - 2 - left, kWidestSignatureGap));
    p.end();
    if (right > width - 2)
        throw BuildError("the key signature " + keySignaturePicture(table) +
                         " does not fit left of the first note column");
    return {keySignaturePicture(table), drawing, staffMatte(width, kWindowGrey)};
}

Picture drawNote(int code, const MusicGlyphs& glyphs) {
    const int octave = code / 100;
    const int letter = code / 10 % 10;
    const int signDigit = code % 10;
    if (octave < 1 || letter > 6 || signDigit > 5 || staffStep(octave, letter) < kLowestStep ||
        staffStep(octave, letter) > kHighestStep)
        throw BuildError("no note picture for the code " + std::to_string(code));
    const int step = staffStep(octave, letter);
    const double space = glyphs.lineSpacing();
    const int y = stepY(step);

    QImage drawing = blankDrawing(QSize(kNoteWidth, kNoteHeight));
    QPainter p(&drawing);
    const QPainterPath head = glyphs.noteHead().translated(kHeadLeft, y);
    const QRectF headBox = head.boundingRect();

    const int ledgerLeft = static_cast<int>(std::lround(headBox.left() - kLedgerOverhang * space));
    const int ledgerRight = static_cast<int>(std::lround(headBox.right() + kLedgerOverhang * space));
    for (int ledger : ledgerSteps(step)) fillCrisp(p, ledgerLeft, stepY(ledger), ledgerRight - ledgerLeft, 1);

    // A stem of three and a half spaces, reaching at least the middle line.
    const int stemLength = static_cast<int>(std::lround(3.5 * space));
    const int middle = stepY(kMiddleLineStep);
    if (stemUp(step)) {
        const int top = std::min(y - stemLength, middle);
        const int x = static_cast<int>(std::floor(headBox.right())) - 1;
        fillCrisp(p, x, top, 1, y - 1 - top);
    } else {
        const int bottom = std::max(y + stemLength, middle);
        const int x = static_cast<int>(std::ceil(headBox.left()));
        fillCrisp(p, x, y + 2, 1, bottom - y - 1);
    }

    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(head, kInk);
    if (signDigit != 5) {
        const QPainterPath sign = glyphs.sign(static_cast<Sign>(signDigit));
        const double right = ledgerLeft - kSignGap;
        fillSign(p, sign.translated(right - sign.boundingRect().width(), y), space);
    }
    p.end();
    return {notePicture(static_cast<std::int16_t>(code)), drawing, staffMatte(kNoteWidth, kMixedBackground)};
}

std::vector<KeySignature> everyKeySignature() {
    std::vector<KeySignature> tables;
    for (int count = 0; count <= 7; ++count) tables.push_back(keySignature('#', count, false));
    for (int count = 1; count <= 7; ++count) tables.push_back(keySignature('b', count, false));
    return tables;
}

std::vector<Picture> staffPictures() {
    const MusicGlyphs glyphs(kLineSpacing);
    std::vector<Picture> pictures;
    pictures.push_back(drawStaff(glyphs));
    for (const KeySignature& table : everyKeySignature()) pictures.push_back(drawKeySignature(table, glyphs));
    for (int code : notePictureCodes()) pictures.push_back(drawNote(code, glyphs));
    return pictures;
}

}  // namespace tarvel::dataset
