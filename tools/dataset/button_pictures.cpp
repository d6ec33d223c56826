#include "button_pictures.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

#include "app/choices.h"
#include "app/keyboard.h"
#include "data/data_paths.h"
#include "fonts.h"
#include "gif_writer.h"
#include "key_caps.h"
#include "key_signatures.h"
#include "keys/key_table.h"
#include "music_glyphs.h"
#include "staff_pictures.h"

namespace tarvel::dataset {
namespace {

struct Style {
    QColor top, bottom, border, text;
};

const Style kSystemStyle{{0x4a, 0x7d, 0xd0}, {0x24, 0x52, 0xa0}, {0x1a, 0x3c, 0x7a}, Qt::white};
const Style kPairingStyle{{0x3c, 0xa8, 0x9c}, {0x1f, 0x7a, 0x70}, {0x17, 0x5c, 0x55}, Qt::white};
const Style kBackStyle{{0xfc, 0xfc, 0xfc}, {0xdc, 0xdc, 0xdc}, {0x8c, 0x8c, 0x8c}, {0x30, 0x30, 0x30}};
const Style kMajorStyle{{0xff, 0xf6, 0xe4}, {0xf5, 0xdc, 0xac}, {0xb8, 0x8a, 0x3c}, {0x3a, 0x28, 0x0c}};
const Style kMinorStyle{{0xee, 0xf3, 0xff}, {0xc8, 0xd8, 0xf4}, {0x5f, 0x80, 0xb8}, {0x16, 0x26, 0x48}};
const Style kAnswerStyle{{0xff, 0xff, 0xff}, {0xe4, 0xe8, 0xee}, {0x80, 0x8a, 0x98}, {0x20, 0x24, 0x2c}};

constexpr double kRadius = 7;
const QColor kCapInk{0x20, 0x24, 0x2c};

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QImage buttonFace(QSize size, const Style& style) {
    QImage drawing = blankDrawing(size);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, style.top);
    fill.setColorAt(1, style.bottom);
    p.setBrush(fill);
    p.setPen(QPen(style.border, 1.5));
    p.drawRoundedRect(QRectF(0.75, 0.75, size.width() - 1.5, size.height() - 1.5), kRadius, kRadius);
    return drawing;
}

// The largest font of at most `pixelSize` in which `text` fits `width`.
QFont fitted(const QString& text, double width, double pixelSize, bool bold = true) {
    for (double size = pixelSize; size > 6; size -= 1) {
        const QFont font = japaneseFont(size, bold);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width) return font;
    }
    throw BuildError("the text \"" + text.toStdString() + "\" does not fit its button");
}

void text(QPainter& p, const QRectF& box, const QString& words, const QFont& font, QColor colour,
          Qt::Alignment align = Qt::AlignCenter) {
    if (currentDrawingScale == 1) {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(box, align, words);
        return;
    }
    // In a twin, as the outlines of a font of twice the size, at the place
    // drawText gives the text: glyphs of the picture's own font drawn
    // through the twin's scaled painter change how that font draws later in
    // the same process, and the data set must be the same bytes every time.
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(words);
    double x = box.left();
    if (align & Qt::AlignHCenter) x = box.center().x() - width / 2;
    if (align & Qt::AlignRight) x = box.right() - width;
    const double baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
    const double scale = currentDrawingScale;
    QFont large = font;
    large.setPixelSize(qRound(font.pixelSize() * scale));
    QPainterPath outline;
    outline.addText(QPointF(x * scale, baseline * scale), large, words);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(1 / scale, 1 / scale);
    p.fillPath(outline, colour);
    p.restore();
}

// A button with a main line and, optionally, a smaller second line; with
// the cap of the key that clicks it at its right, the words centred left of it.
QImage labelledButton(QSize size, const Style& style, const QString& main, const QString& second, double mainSize,
                      double secondSize, const QString& cap = {}) {
    QImage drawing = buttonFace(size, style);
    QPainter p(&drawing);
    const double capHeight = std::min(22.0, size.height() - 16.0);
    const QRectF capAt = cap.isEmpty() ? QRectF(size.width(), 0, 0, 0) : capBox(size, cap, capHeight);
    const double width = cap.isEmpty() ? size.width() : capAt.left() - 2;
    const double inner = width - (cap.isEmpty() ? 16 : 10);
    const double left = cap.isEmpty() ? 0 : 4;
    if (second.isEmpty()) {
        text(p, QRectF(left, 0, width - left, size.height()), main, fitted(main, inner, mainSize), style.text);
    } else {
        const double h = size.height();
        text(p, QRectF(left, 2, width - left, h * 0.62), main, fitted(main, inner, mainSize), style.text);
        text(p, QRectF(left, h * 0.56, width - left, h * 0.40), second, fitted(second, inner, secondSize, false),
             style.text);
    }
    if (!cap.isEmpty()) paintKeyCap(p, capAt, cap, style.border, kCapInk);
    return drawing;
}

Picture picture(std::string_view dataPath, QImage drawing, QColor background) {
    const QSize size = drawing.size();
    return {std::string(dataPath), std::move(drawing), solidMatte(size, background)};
}

// Page 1: the fingering system.
void systemButtons(std::vector<Picture>& out) {
    const QString latin[] = {"Boehm", "Oehler"};
    for (std::size_t i = 0; i < kSystemChoices.size(); ++i)
        out.push_back(picture(kSystemChoices[i].picture,
                              labelledButton(kSystemButton, kSystemStyle, qtext(kSystemChoices[i].name), latin[i], 21,
                                             13, capText(kSystemChoices[i].button)),
                              kWindowGrey));
}

// Page 2: which part the player reads on the B flat clarinet.
void pairingButtons(std::vector<Picture>& out) {
    const QString words[][2] = {
        {"の楽譜", "そのまま吹く"}, {"の楽譜（実音）", "全音上げて吹く"}, {"の楽譜", "半音下げて吹く"}};
    for (std::size_t i = 0; i < kPairingChoices.size(); ++i)
        out.push_back(picture(kPairingChoices[i].picture,
                              labelledButton(kSystemButton, kPairingStyle, qtext(kPairingChoices[i].name) + words[i][0],
                                             words[i][1], 19, 13, capText(kPairingChoices[i].button)),
                              kWindowGrey));
}

void backButtons(std::vector<Picture>& out) {
    out.push_back(
        picture(kPage2BackPicture,
                labelledButton(kSystemButton - QSize(0, 4), kBackStyle, "◀ もどる", "", 18, 0, capText(el::P2_Btn4)),
                kWindowGrey));
    // One picture for the back buttons of the key, tempo and progress pages, all Backspace.
    out.push_back(picture(kBackPicture,
                          labelledButton(kBackButton, kBackStyle, "◀ もどる", "", 18, 0, capText(el::P3_BtnA)),
                          kWindowGrey));
    out.push_back(
        picture(kBackToStartPicture,
                labelledButton(kBackToStartButton, kBackStyle, "◀ 最初にもどる", "", 17, 0, capText(el::P3_BtnB)),
                kWindowGrey));
}

// The key page: the key's name over a small staff with its signature.
QImage keyButton(const KeyEntry& key) {
    const Style& style = key.minor ? kMinorStyle : kMajorStyle;
    QImage drawing = buttonFace(kKeyButton, style);
    QPainter p(&drawing);
    const QString name = qtext(key.japanese);
    text(p, QRectF(0, 3, kKeyButton.width(), 23), name, fitted(name, kKeyButton.width() - 12, 19), style.text);

    const MusicGlyphs glyphs(6);
    const double bottomLine = 64;
    const KeySignature table = keySignatureOfKey(key.code);
    QImage scratch = blankDrawing(kKeyButton);
    QPainter measure(&scratch);
    const SignSpacing apart{0, 1.5};  // the signs of a button's small staff must not touch either
    const double signsWidth = paintKeySignature(measure, table, glyphs, 0, bottomLine, style.text, apart);
    measure.end();
    const QPainterPath clef = glyphs.trebleClef();
    const double clefWidth = clef.boundingRect().width();
    const double gap = signsWidth > 0 ? 3 : 0;
    const double staffWidth = 4 + clefWidth + gap + signsWidth + 6;
    const int left = static_cast<int>((kKeyButton.width() - std::max(staffWidth, 56.0)) / 2);
    const int right = kKeyButton.width() - left;
    for (int line = 0; line < 5; ++line)
        p.fillRect(left, static_cast<int>(bottomLine) - 6 * line, right - left, 1, style.border);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(clef.translated(left + 2, bottomLine), style.text);
    paintKeySignature(p, table, glyphs, left + 4 + clefWidth + gap, bottomLine, style.text, apart);
    return drawing;
}

void keyButtons(std::vector<Picture>& out) {
    for (const KeyEntry& key : Key_tbl) out.push_back(picture(key.buttonPicture, keyButton(key), kMixedBackground));
}

// The tempo page: a quarter note and the beats per minute, from calm green
// at the slowest to red at the fastest.
void tempoButtons(std::vector<Picture>& out) {
    const MusicGlyphs glyphs(13);
    const QPainterPath note = glyphs.quarterNote();
    const int count = static_cast<int>(kTempoChoices.size());
    for (int i = 0; i < count; ++i) {
        const int hue = 130 - 130 * i / (count - 1);
        const Style style{QColor::fromHsv(hue, 40, 255), QColor::fromHsv(hue, 95, 238), QColor::fromHsv(hue, 200, 150),
                          QColor::fromHsv(hue, 220, 70)};
        QImage drawing = buttonFace(kTempoButton, style);
        QPainter p(&drawing);
        const QString number =
            "= " + QString::fromLatin1(kTempoChoices[i].tempo.data(), static_cast<int>(kTempoChoices[i].tempo.size()));
        const QFont font = japaneseFont(30, true);
        const double numberWidth = QFontMetricsF(font).horizontalAdvance(number);
        const double noteWidth = note.boundingRect().width();
        // The digit that chooses the tempo in a cap at the top right, the tempo centred left of it.
        const QString cap = capText(el::P4_Btn(i + 1));
        const QRectF capAt(kTempoButton.width() - 7 - 19, 6, 19, 19);
        const double left = (capAt.left() - (noteWidth + 6 + numberWidth)) / 2 + 2;
        const double baseline = 44;
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(note.translated(left, baseline), style.text);
        p.setFont(font);
        p.setPen(style.text);
        p.drawText(QPointF(left + noteWidth + 6, baseline), number);
        paintKeyCap(p, capAt, cap, style.border, style.text);
        out.push_back(picture(kTempoChoices[i].picture, drawing, kMixedBackground));
    }
}

// Page 5: how many slips there were, from none to six or more, each with the
// key that gives it.
void answerButtons(std::vector<Picture>& out) {
    struct Answer {
        QString mark;
        QColor colour;
        QString words;
    };
    const Answer answers[] = {{"◎", {0x1e, 0x8c, 0x3c}, "ミスなし"},
                              {"○", {0x22, 0x5c, 0xc0}, "ミス 1〜2回"},
                              {"△", {0xc8, 0x7a, 0x00}, "ミス 3〜5回"},
                              {"×", {0xc8, 0x20, 0x20}, "ミス 6回以上"}};
    constexpr double kCap = 24;
    const QRectF cap(kChoiceButton.width() - 10 - kCap, (kChoiceButton.height() - kCap) / 2, kCap, kCap);
    const double wordsWidth = cap.left() - 8 - 64;
    // One size for all four, the largest in which the longest fits.
    QFont wordsFont = japaneseFont(26, true);
    for (const Answer& a : answers)
        if (const QFont f = fitted(a.words, wordsWidth, 26); f.pixelSize() < wordsFont.pixelSize()) wordsFont = f;
    for (std::size_t i = 0; i < kAnswerChoices.size(); ++i) {
        QImage drawing = buttonFace(kChoiceButton, kAnswerStyle);
        QPainter p(&drawing);
        text(p, QRectF(8, 0, 56, kChoiceButton.height()), answers[i].mark, japaneseFont(38, true), answers[i].colour);
        text(p, QRectF(64, 0, wordsWidth, kChoiceButton.height()), answers[i].words, wordsFont, kAnswerStyle.text,
             Qt::AlignLeft | Qt::AlignVCenter);
        paintKeyCap(p, cap, capText(el::P5_Btn(static_cast<int>(i) + 1)), kAnswerStyle.border, kAnswerStyle.text);
        out.push_back(picture(kAnswerChoices[i].picture, drawing, kWindowGrey));
    }
}

// Page 6: again, another tempo, another key.
void afterButtons(std::vector<Picture>& out) {
    out.push_back(
        picture(kAgainPicture,
                labelledButton(kChoiceButton, kSystemStyle, "もう一回", "同じテンポで", 26, 14, capText(el::P6_Btn(1))),
                kWindowGrey));
    out.push_back(picture(
        kOtherTempoPicture,
        labelledButton(kChoiceButton, kSystemStyle, "テンポをかえる", "", 26, 0, capText(el::P6_Btn(2))), kWindowGrey));
    out.push_back(picture(kOtherKeyPicture,
                          labelledButton(kChoiceButton, kSystemStyle, "調をかえる", "", 26, 0, capText(el::P6_Btn(3))),
                          kWindowGrey));
}

// The key page's way to the progress page: a small rising chart over "記録";
// and the progress page's export.
QImage progressButton() {
    QImage drawing = buttonFace(kProgressButton, kPairingStyle);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = kPairingStyle.text;
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(18, 14), QPointF(18, 50));
    p.drawLine(QPointF(18, 50), QPointF(72, 50));
    const QPointF points[] = {{24, 44}, {36, 38}, {48, 40}, {60, 26}, {68, 20}};
    p.setPen(QPen(QColor(0xff, 0xe0, 0x82), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(points, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x82));
    for (const QPointF& point : points) p.drawEllipse(point, 3, 3);
    // Its key in a cap at the bottom right, the word left of it.
    const QRectF capAt(kProgressButton.width() - 6 - 19, 60, 19, 19);
    text(p, QRectF(4, 54, capAt.left() - 4, 30), "記録", fitted("記録", capAt.left() - 10, 22), ink);
    paintKeyCap(p, capAt, capText(el::P3_BtnC), kPairingStyle.border, kCapInk);
    return drawing;
}

void progressButtons(std::vector<Picture>& out) {
    out.push_back(picture(kProgressPicture, progressButton(), kWindowGrey));
    out.push_back(picture(kExportPicture,
                          labelledButton(kChoiceButton, kSystemStyle, "CSVに書き出す", "表計算ソフトや先生に", 24, 14,
                                         capText(el::P7_BtnB)),
                          kWindowGrey));
    out.push_back(picture(
        kWeakPicture,
        labelledButton(kWeakButton, kPairingStyle, "苦手な音", "よくまちがえる音と音程", 24, 12, capText(el::P7_BtnC)),
        kWindowGrey));
    out.push_back(picture(kTakeBackPicture,
                          labelledButton(kTakeBackButton, kSystemStyle, "この回を取り消す", "えらんだ回／最後の回", 20,
                                         12, capText(el::P7_BtnD)),
                          kWindowGrey));
    out.push_back(picture(
        kDrillPicture,
        labelledButton(kWeakButton, kSystemStyle, "苦手ドリル", "となりの音と練習", 24, 12, capText(el::P8_BtnD)),
        kWindowGrey));
}

// Page 1's way to About Tarvel: the sign for information on a round button;
// and the About page's button that opens the data folder.
QImage aboutButton() {
    QImage drawing = blankDrawing(kAboutButton);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, kAboutButton.height());
    fill.setColorAt(0, kSystemStyle.top);
    fill.setColorAt(1, kSystemStyle.bottom);
    p.setBrush(fill);
    p.setPen(QPen(kSystemStyle.border, 1.5));
    p.drawEllipse(QRectF(2.75, 2.75, kAboutButton.width() - 5.5, kAboutButton.height() - 5.5));
    text(p, QRectF(0, 0, kAboutButton.width(), kAboutButton.height()), "i", serifFont(32, true), Qt::white);
    return drawing;
}

void aboutButtons(std::vector<Picture>& out) {
    out.push_back(picture(kAboutPicture, aboutButton(), kWindowGrey));
    out.push_back(picture(
        kOpenFolderPicture,
        labelledButton(kChoiceButton, kPairingStyle, "フォルダを開く", "ファイルマネージャーで", 24, 14), kWindowGrey));
}

// The program's name over a line of music, and what it is for.
QImage title() {
    QImage drawing = blankDrawing(kTitle);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor navy{0x1b, 0x2f, 0x5a};
    const QColor soft{0x8a, 0x9c, 0xbe};
    text(p, QRectF(0, 0, kTitle.width(), 92), "Tarvel", serifFont(76, true), navy);

    // A rising scale on a staff.
    const MusicGlyphs glyphs(8);
    const int bottom = 138;
    const int left = 64;
    const int right = kTitle.width() - 64;
    for (int line = 0; line < 5; ++line) p.fillRect(left, bottom - 8 * line, right - left, 1, soft);
    p.fillPath(glyphs.trebleClef().translated(left + 3, bottom), soft);
    const QPainterPath head = glyphs.noteHead();
    const double headWidth = head.boundingRect().width();
    for (int n = 0; n < 8; ++n) {
        const int step = n - 2;  // C4 .. C5, stems up below the middle line
        const int x = qRound(left + 44 + n * (right - left - 64) / 7.0);
        const int y = bottom - 4 * step;
        if (step == -2) p.fillRect(x - 3, bottom + 8, qRound(headWidth) + 6, 1, soft);
        p.fillPath(head.translated(x, y), soft);
        if (step < 4)
            p.fillRect(x + static_cast<int>(headWidth) - 1, y - 28, 1, 27, soft);
        else
            p.fillRect(x, y + 2, 1, 27, soft);
    }
    text(p, QRectF(0, 156, kTitle.width(), 40), "クラリネット　読譜と運指のドリル", japaneseFont(26, false),
         QColor(0x33, 0x41, 0x5c));
    return drawing;
}

// The run's cancel button: a red disc with a white cross, and its key beside it.
QImage cancelButton() {
    QImage drawing = blankDrawing(kCancelButton);
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor dark(0x90, 0x12, 0x12);
    p.setPen(QPen(dark, 1));
    p.setBrush(QColor(0xd0, 0x1c, 0x1c));
    p.drawEllipse(QRectF(0.5, 0.5, 24, 24));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(17, 17));
    p.drawLine(QPointF(17, 8), QPointF(8, 17));
    paintKeyCap(p, QRectF(29, 3.5, kCancelButton.width() - 30, 18), capText(el::Cancel_img), dark, dark);
    return drawing;
}

// The "？" of every page with its key below it, and the help page's buttons:
// back where the player was, the other system's legend, and About Tarvel.
QImage helpButton() {
    QImage drawing = buttonFace(kHelpButton, kSystemStyle);
    QPainter p(&drawing);
    text(p, QRectF(0, 0, kHelpButton.width(), 26), "？", japaneseFont(22, true), kSystemStyle.text);
    const QString cap = capText(el::Help_Btn);
    paintKeyCap(p, QRectF(6, 24, kHelpButton.width() - 12, 16), cap, kSystemStyle.border, kCapInk);
    return drawing;
}

void helpButtons(std::vector<Picture>& out) {
    out.push_back(picture(kHelpPicture, helpButton(), kWindowGrey));
    out.push_back(picture(kHelpBackPicture,
                          labelledButton(kBackButton, kBackStyle, "◀ もどる", "", 18, 0, capText(el::Help_BtnA)),
                          kLabelWhite));
    for (const SystemChoice& system : kSystemChoices)
        out.push_back(picture(
            system.legendButton,
            labelledButton(kLegendButton, kSystemStyle, qtext(system.name) + "の図", "", 19, 0, capText(el::Help_BtnS)),
            kLabelWhite));
    out.push_back(
        picture(kHelpAboutPicture,
                labelledButton(kLegendButton, kPairingStyle, "Tarvel について", "", 19, 0, capText(el::Help_BtnB)),
                kLabelWhite));
}

}  // namespace

std::vector<Picture> buttonPictures() {
    std::vector<Picture> out;
    out.push_back(picture(kTitlePicture, title(), kLabelWhite));
    systemButtons(out);
    pairingButtons(out);
    backButtons(out);
    keyButtons(out);
    tempoButtons(out);
    answerButtons(out);
    afterButtons(out);
    progressButtons(out);
    aboutButtons(out);
    out.push_back(picture(kCancelPicture, cancelButton(), kWindowGrey));
    helpButtons(out);
    return out;
}

}  // namespace tarvel::dataset
