#include "mini_score.h"

#include <QFontMetricsF>

#include <cmath>

#include "app/slip_score.h"
#include "fonts.h"
#include "gif_writer.h"
#include "music_glyphs.h"
#include "staff_geometry.h"
#include "staff_pictures.h"
#include "ui/elements.h"

namespace tarvel::dataset {
namespace {

const QColor kInk{0, 0, 0};
constexpr int kStep = kMiniLineSpacing / 2;

constexpr int lineY(int line) { return kMiniBottomLineY - kMiniLineSpacing * line; }
constexpr int stepY(int step) { return kMiniBottomLineY - kStep * step; }

// What lies under a picture on the small staff: its lines on the window's grey.
QImage linesMatte(int width) {
    QImage matte = matteCanvas(QSize(width, kScoreBandHeight), kWindowGrey);
    QPainter p(&matte);
    for (int line = 0; line < staff::kLineCount; ++line) p.fillRect(0, lineY(line), width, 1, kInk);
    return matte;
}

// One row's stretch: lines, a bar line after every fourth note and at the
// end, and a thin one at the start of the rows after the first; the first
// stretch begins with the clef.
Picture stretch(int r, const MusicGlyphs& glyphs) {
    const int left = scoreStaffLeft(r);
    const int right = scoreNoteLeft(el::notesPerRow * r + el::notesPerRow - 1) + kScoreColumnWidth + 1;
    const int width = right - left + 1;
    QImage drawing = blankDrawing(QSize(width, kScoreBandHeight));
    QPainter p(&drawing);
    for (int line = 0; line < staff::kLineCount; ++line) p.fillRect(0, lineY(line), width, 1, kInk);
    const int top = lineY(staff::kLineCount - 1), height = lineY(0) - top + 1;
    for (int bar = 1; bar < 4; ++bar)
        p.fillRect(scoreNoteLeft(el::notesPerRow * r + 4 * bar) - 1 - left, top, 1, height, kInk);
    p.fillRect(width - 1, top, 1, height, kInk);
    if (r > 0) p.fillRect(0, top, 1, height, kInk);
    if (r == 0) {
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(glyphs.trebleClef().translated(2, lineY(0)), kInk);
    }
    p.end();
    return {miniStaffPicture(r), drawing, solidMatte(drawing.size(), kWindowGrey)};
}

Picture keySignature(const KeySignature& table, const MusicGlyphs& glyphs) {
    const QSize size(52, kScoreBandHeight);
    QImage drawing = blankDrawing(size);
    QPainter p(&drawing);
    paintKeySignature(p, table, glyphs, 2, lineY(0), kInk, SignSpacing{0, 1.2});
    p.end();
    return {miniKeySignaturePicture(table), drawing, linesMatte(size.width())};
}

Picture note(int code, const MusicGlyphs& glyphs) {
    const int octave = code / 100, letter = code / 10 % 10, signDigit = code % 10;
    const int step = staff::staffStep(octave, letter);
    const double space = glyphs.lineSpacing();
    const int y = stepY(step);
    QImage drawing = blankDrawing(QSize(kScoreColumnWidth, kScoreBandHeight));
    QPainter p(&drawing);
    const QPainterPath head = glyphs.noteHead().translated(kMiniHeadLeft, y);
    const QRectF box = head.boundingRect();
    const int ledgerLeft = static_cast<int>(std::lround(box.left() - 0.35 * space));
    const int ledgerRight = static_cast<int>(std::lround(box.right() + 0.35 * space));
    for (int ledger : staff::ledgerSteps(step))
        p.fillRect(ledgerLeft, stepY(ledger), ledgerRight - ledgerLeft, 1, kInk);
    const int stemLength = static_cast<int>(std::lround(3.5 * space));
    const int middle = stepY(staff::kMiddleLineStep);
    if (staff::stemUp(step)) {
        const int top = std::min(y - stemLength, middle);
        p.fillRect(static_cast<int>(std::floor(box.right())) - 1, top, 1, y - 1 - top, kInk);
    } else {
        const int bottom = std::max(y + stemLength, middle);
        p.fillRect(static_cast<int>(std::ceil(box.left())), y + 1, 1, bottom - y, kInk);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(head, kInk);
    if (signDigit != 5) {
        const QPainterPath sign = glyphs.sign(static_cast<Sign>(signDigit));
        p.fillPath(sign.translated(ledgerLeft - 0.5 - sign.boundingRect().width(), y), kInk);
    }
    p.end();
    return {miniNotePicture(static_cast<std::int16_t>(code)), drawing, linesMatte(kScoreColumnWidth)};
}

// A ring round the head: solid red for a wrong note, broken grey for one not heard.
void paintRing(QPainter& p, Mark mark, QPointF centre) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(mark == Mark::Wrong ? kWrongColour : kSilentColour, 2.2);
    if (mark == Mark::Silent) pen.setDashPattern({1.6, 1.1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 9, 7);
}

// The extra note: an orange "+" over the staff and a dotted line down through
// it, between the two notes it came between.
void paintExtra(QPainter& p, QPointF at) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kExtraColour, 1.2, Qt::DotLine));
    p.drawLine(QPointF(at.x(), at.y() + 6), QPointF(at.x(), lineY(0)));
    p.setPen(Qt::NoPen);
    p.setBrush(kExtraColour);
    p.drawEllipse(at, 6, 6);
    p.setPen(QPen(Qt::white, 1.8));
    p.drawLine(QPointF(at.x() - 3, at.y()), QPointF(at.x() + 3, at.y()));
    p.drawLine(QPointF(at.x(), at.y() - 3), QPointF(at.x(), at.y() + 3));
}

std::vector<Picture> marks(const MusicGlyphs& glyphs) {
    const double headCentre = kScoreMarkOverhang + kMiniHeadLeft + glyphs.noteHead().boundingRect().width() / 2;
    std::vector<Picture> pictures;
    for (const Mark mark : {Mark::Wrong, Mark::Silent})
        for (int octave = 1; octave <= 5; ++octave)
            for (int letter = 0; letter < 7; ++letter) {
                const int step = staff::staffStep(octave, letter);
                if (step < staff::kLowestStep || step > staff::kHighestStep) continue;
                QImage drawing = blankDrawing(QSize(kScoreMarkWidth, kScoreBandHeight));
                QPainter p(&drawing);
                paintRing(p, mark, QPointF(headCentre, stepY(step)));
                p.end();
                pictures.push_back({slipMarkPicture(mark, static_cast<std::int16_t>(100 * octave + 10 * letter)),
                                    drawing, linesMatte(kScoreMarkWidth)});
            }
    QImage extra = blankDrawing(QSize(kScoreColumnWidth, kScoreBandHeight));
    QPainter p(&extra);
    paintExtra(p, QPointF(10, 8));
    p.end();
    pictures.push_back({std::string(kExtraNotePicture), extra, linesMatte(kScoreColumnWidth)});
    return pictures;
}

// The three marks with what they mean.
Picture legend(const MusicGlyphs& glyphs) {
    const QFont font = japaneseFont(13, true);
    const QString words[] = {"ちがう音", "聞こえない", "余分な音（音と音の間）"};
    QImage drawing = blankDrawing(QSize(600, 24));
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    double x = 2;
    for (int k = 0; k < 3; ++k) {
        const QPointF centre(x + 11, 12);
        if (k < 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawPath(glyphs.noteHead().translated(centre.x() - glyphs.noteHead().boundingRect().width() / 2, 12));
            paintRing(p, k == 0 ? Mark::Wrong : Mark::Silent, centre);
        } else {
            paintExtra(p, centre);
        }
        p.setFont(font);
        p.setPen(k == 0 ? kWrongColour : k == 1 ? kSilentColour : kExtraColour);
        p.drawText(QRectF(x + 24, 0, 300, 24), Qt::AlignLeft | Qt::AlignVCenter, words[k]);
        x += 24 + QFontMetricsF(font).horizontalAdvance(words[k]) + 24;
    }
    p.end();
    return {std::string(kSlipLegendPicture), drawing, solidMatte(drawing.size(), kWindowGrey)};
}

}  // namespace

std::vector<Picture> miniScorePictures() {
    const MusicGlyphs glyphs(kMiniLineSpacing);
    std::vector<Picture> pictures;
    pictures.push_back(stretch(0, glyphs));
    pictures.push_back(stretch(1, glyphs));
    for (const KeySignature& table : everyKeySignature()) pictures.push_back(keySignature(table, glyphs));
    for (int code : staff::notePictureCodes()) pictures.push_back(note(code, glyphs));
    for (Picture& mark : marks(glyphs)) pictures.push_back(std::move(mark));
    pictures.push_back(legend(glyphs));
    return pictures;
}

}  // namespace tarvel::dataset
