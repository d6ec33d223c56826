#include "now_marks.h"

#include "data/data_paths.h"
#include "gif_writer.h"
#include "music_glyphs.h"
#include "staff_geometry.h"

namespace tarvel::dataset {
namespace {

using namespace staff;

// Round the head, clear of the sign left of it (1 px from the ledger's end).
constexpr double kRingHalfWidth = 9.5;
constexpr double kRingHalfHeight = 8;
constexpr double kRingPen = 3;

QImage staffLinesMatte() {
    QImage matte = matteCanvas(QSize(kNoteWidth, kNoteHeight), kMixedBackground);
    QPainter p(&matte);
    for (int line = 0; line < kLineCount; ++line) p.fillRect(0, lineY(line), kNoteWidth, 1, Qt::black);
    return matte;
}

}  // namespace

std::vector<Picture> nowMarkPictures() {
    const MusicGlyphs glyphs(kLineSpacing);
    const double headCentre = kHeadLeft + glyphs.noteHead().boundingRect().width() / 2;
    const QImage matte = staffLinesMatte();
    std::vector<Picture> pictures;
    for (int octave = 1; octave <= 5; ++octave)
        for (int letter = 0; letter < 7; ++letter) {
            const int step = staffStep(octave, letter);
            if (step < kLowestStep || step > kHighestStep) continue;
            QImage drawing = blankDrawing(QSize(kNoteWidth, kNoteHeight));
            QPainter p(&drawing);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(kNowMarkColour, kRingPen));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(headCentre, stepY(step)), kRingHalfWidth, kRingHalfHeight);
            p.end();
            const auto code = static_cast<std::int16_t>(100 * octave + 10 * letter);
            pictures.push_back({nowMarkPicture(code), drawing, matte});
        }
    return pictures;
}

}  // namespace tarvel::dataset
