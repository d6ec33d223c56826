#include "music_glyphs.h"

#include <QTransform>

#include "fonts.h"
#include "gif_writer.h"

namespace tarvel::dataset {
namespace {

constexpr char32_t kFiveLineStaff = 0x1D11A;
constexpr char32_t kGClef = 0x1D11E;
constexpr char32_t kBlackNoteHead = 0x1D158;
constexpr char32_t kQuarterNote = 0x2669;
constexpr char32_t kSignGlyph[] = {0x1D12B, 0x266D, 0x266E, 0x266F, 0x1D12A};

// The font's sharp is nearly two staff spaces wide, its natural more than
// one; engraved sharps are about one space wide, so the sharp is drawn at
// that width (as wide as the flat) and the natural a little narrower. Seven
// sharps then stand with clear room between them in front of the first note
// column. The other signs are drawn as the font has them.
constexpr double kSignWidthScale[] = {1.0, 1.0, 0.8, 0.54, 1.0};

// Measured on a glyph at one em: the distance between the outer lines of the
// font's own staff is four line spacings.
constexpr double kMeasureSize = 1000;

}  // namespace

MusicGlyphs::MusicGlyphs(double lineSpacing) : lineSpacing_(lineSpacing) {
    const QRawFont probe = musicFont(kMeasureSize);
    const QList<quint32> staffIndex = probe.glyphIndexesForString(QString::fromUcs4(&kFiveLineStaff, 1));
    if (staffIndex.isEmpty() || staffIndex[0] == 0)
        throw BuildError(std::string("the music font ") + kMusicFontFile + " has no five-line staff glyph");
    const QRectF staffBox = probe.pathForGlyph(staffIndex[0]).boundingRect();
    // The box spans the outer edges of the top and bottom lines; their
    // centres are one line thickness (about a tenth of a space) closer.
    const double lineThickness = staffBox.height() / 41.0;
    const double spacingAtProbe = (staffBox.height() - lineThickness) / 4.0;
    const double scale = lineSpacing / spacingAtProbe;
    font_ = musicFont(kMeasureSize * scale);
    baselineBelowLine_ = (lineThickness / 2 - staffBox.bottom()) * scale;
    pitchAboveBaseline_ = -glyph(kBlackNoteHead).boundingRect().center().y();
}

QPainterPath MusicGlyphs::glyph(char32_t codePoint) const {
    const QList<quint32> index = font_.glyphIndexesForString(QString::fromUcs4(&codePoint, 1));
    if (index.isEmpty() || index[0] == 0)
        throw BuildError("the music font " + std::string(kMusicFontFile) + " has no glyph U+" +
                         QString::number(static_cast<uint>(codePoint), 16).toUpper().toStdString());
    return font_.pathForGlyph(index[0]);
}

QPainterPath MusicGlyphs::atPitch(char32_t codePoint, double widthScale) const {
    const QPainterPath path = glyph(codePoint);
    const QRectF box = path.boundingRect();
    QTransform place;
    place.scale(widthScale, 1.0);
    place.translate(-box.left(), pitchAboveBaseline_);
    return place.map(path);
}

QPainterPath MusicGlyphs::noteHead() const { return atPitch(kBlackNoteHead); }

QPainterPath MusicGlyphs::sign(Sign sign) const {
    const auto i = static_cast<int>(sign);
    return atPitch(kSignGlyph[i], kSignWidthScale[i]);
}

QPainterPath MusicGlyphs::sign(Sign sign, double widthScale) const {
    return atPitch(kSignGlyph[static_cast<int>(sign)], widthScale);
}

QPainterPath MusicGlyphs::trebleClef() const {
    const QPainterPath path = glyph(kGClef);
    return path.translated(-path.boundingRect().left(), baselineBelowLine_);
}

QPainterPath MusicGlyphs::quarterNote() const {
    const QPainterPath path = glyph(kQuarterNote);
    return path.translated(-path.boundingRect().left(), 0);
}

}  // namespace tarvel::dataset
