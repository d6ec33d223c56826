#include "finger_pictures.h"

#include <QPainterPath>

#include <array>

#include "data/data_paths.h"
#include "fonts.h"
#include "gif_writer.h"

namespace tarvel::dataset {
namespace {

// The diagram, 50 x 150: the left hand above, the right hand below, holes
// down the middle of the body (x 21 to 35, centred on the note head above),
// the thumb and the left little finger to the left, the A and G# keys, the
// sliver and the side keys to the right, the right little finger below.
//
// Every key keeps 1.7 px of room on each side inside its finger's own part
// of the picture: a pressed key grows by 1 px and takes a 1.4 px outline,
// and must not reach another finger's pixels.
enum class Shape { Hole, Key, RoundKey, Plate };

struct Part {
    Shape shape;
    QRectF box;
    std::string_view pressedBy;    // the codes in which this hole is closed or this key pressed
    std::string_view name;         // for the legend
    bool onlyWhenPressed = false;  // an extra key of some instruments, drawn only when a line uses it
    std::string_view note = {};    // what the legend adds to the name: "（フルベームのみ）"
};

struct FingerLayout {
    std::string_view codes;
    QRect body;  // this finger's stretch of the body; empty for none
    std::vector<Part> parts;
};

constexpr int kBodyLeft = 21;
constexpr int kBodyWidth = 15;
constexpr double kHoleX = kBodyLeft + kBodyWidth / 2.0;
constexpr int kBodyTop = 4;
constexpr int kJointY = 77;  // where the left hand's joint meets the right hand's
constexpr int kBodyBottom = 128;
constexpr double kPressedGrowth = 1.0;
constexpr double kPressedOutline = 1.4;

// Keys right of the body: x 38 to 48.
constexpr double kRightKeyX = 38;
constexpr double kRightKeyWidth = 10;

QRectF hole(double centreY, double radius = 5) { return {kHoleX - radius, centreY - radius, 2 * radius, 2 * radius}; }

QRect bodyRows(int top, int bottom) { return {kBodyLeft, top, kBodyWidth, bottom - top}; }

// The fingers whose holes and keys are the same on both systems.
FingerLayout thumb() {  // the thumb hole on the back and the register key above it
    return {"0123",
            {},
            {{Shape::Hole, {5.5, 11, 10, 10}, "12", "左親指の穴"},
             {Shape::Key, {3, 2, 15, 6}, "23", "左親指 レジスターキー"}}};
}
FingerLayout leftIndex(std::string_view gSharp) {
    return {"01AG",
            bodyRows(kBodyTop, 29),
            {{Shape::Hole, hole(17), "1", "左人さし指の穴"},
             {Shape::Key, {kRightKeyX, 2, kRightKeyWidth, 7}, "A", "左人さし指 Ａキー"},
             {Shape::Key, {kRightKeyX, 12, kRightKeyWidth, 7}, "G", gSharp}}};
}
FingerLayout leftMiddle() { return {"01", bodyRows(29, 43), {{Shape::Hole, hole(36), "1", "左中指の穴"}}}; }
FingerLayout leftRing(QRectF lever, std::string_view leverName, std::string_view leverNote = {}) {
    return {"01S",
            bodyRows(43, kJointY + 1),
            {{Shape::Hole, hole(50), "1", "左薬指の穴"}, {Shape::Key, lever, "S", leverName, false, leverNote}}};
}
// The left little finger's cluster: the round C#/G# key on top with the
// optional Ab/Eb lever beside it, the long E/B lever outside, and two levers
// inside it (F#/C# and, lowest, F/C on Boehm, B/F on Oehler).
struct LeftLittleNames {
    std::string_view cSharp, ab, e, fSharp, lowest;
};
FingerLayout leftLittle(std::string_view codes, std::string_view lowestLever, const LeftLittleNames& n) {
    return {codes,
            {},
            {{Shape::RoundKey, {10, 45, 9, 8}, "C", n.cSharp},
             {Shape::Key, {2, 45, 7, 8}, "A", n.ab, true, "（付いている楽器のみ）"},  // optional: drawn only where a
                                                                                      // line uses it
             {Shape::Key, {2, 55.5, 7, 23}, "E", n.e},
             {Shape::Key, {10, 55.5, 9, 10.5}, "H", n.fSharp},
             {Shape::Key, {10, 68, 9, 10.5}, lowestLever, n.lowest}}};
}
// Hole 4 with the two upper side keys (trill keys, never pressed in a chart).
FingerLayout rightIndex(std::string_view codes, std::string_view holeClosedBy) {
    return {codes,
            bodyRows(kJointY + 1, 99),
            {{Shape::Hole, hole(88), holeClosedBy, "右人さし指の穴"},
             {Shape::Key, {kRightKeyX + 2, 51, kRightKeyWidth - 2, 4.5}, "", "右人さし指 トリルキー１"},
             {Shape::Key, {kRightKeyX + 2, 57.5, kRightKeyWidth - 2, 4.5}, "", "右人さし指 トリルキー２"}}};
}
FingerLayout rightMiddle(Shape shape, double radius, std::string_view name) {
    return {"01", bodyRows(99, 113), {{shape, hole(106, radius), "1", name}}};
}
FingerLayout rightRing() { return {"01", bodyRows(113, kBodyBottom), {{Shape::Hole, hole(120), "1", "右薬指の穴"}}}; }

std::array<FingerLayout, 9> boehm() {
    FingerLayout index = rightIndex("01SF", "1F");
    index.parts.push_back({Shape::Key, {kRightKeyX, 64.5, kRightKeyWidth, 8}, "S", "右人さし指 サイドＥ♭／Ｂ♭キー"});
    index.parts.push_back({Shape::Key, {kRightKeyX, 75.5, kRightKeyWidth, 8}, "F", "右人さし指 サイドＦ♯／Ｂキー"});
    return {{
        thumb(),
        leftIndex("左人さし指 Ｇ♯キー"),
        leftMiddle(),
        leftRing({kRightKeyX, 40, kRightKeyWidth, 6}, "左薬指 Ｅ♭／Ｂ♭レバー", "（スリバー）"),
        leftLittle("0EFHCA", "F",
                   {"左小指 Ｃ♯／Ｇ♯キー", "左小指 Ａ♭／Ｅ♭レバー", "左小指 Ｅ／Ｂレバー", "左小指 Ｆ♯／Ｃ♯レバー",
                    "左小指 Ｆ／Ｃレバー"}),
        index,
        rightMiddle(Shape::Hole, 5, "右中指の穴"),
        rightRing(),
        {"0EFHAD",
         {},
         {{Shape::Key, {17, 130.5, 13.5, 7.5}, "H", "右小指 Ｆ♯／Ｃ♯キー"},
          {Shape::Key, {33, 130.5, 14, 7.5}, "A", "右小指 Ａ♭／Ｅ♭キー"},
          {Shape::Key, {17, 140.5, 13.5, 7.5}, "E", "右小指 Ｅ／Ｂキー"},
          {Shape::Key, {33, 140.5, 14, 7.5}, "F", "右小指 Ｆ／Ｃキー"},
          {Shape::Key, {2.5, 135.5, 11, 8}, "D", "右小指 低いＥ♭キー", true, "（フルベームのみ）"}}},
    }};
}

std::array<FingerLayout, 9> oehler() {
    FingerLayout index = rightIndex("01S", "1");
    index.parts.push_back({Shape::Key, {kRightKeyX, 66.5, kRightKeyWidth, 9}, "S", "右人さし指 サイドＥｓ／Ｂキー"});
    return {{
        thumb(),
        leftIndex("左人さし指 Ｇｉｓキー"),
        leftMiddle(),
        leftRing({kRightKeyX, 39.5, kRightKeyWidth, 7.5}, "左薬指 Ｅｓ／Ｂレバー"),  // thicker than the Boehm sliver
        leftLittle("0EHCAB", "B",
                   {"左小指 Ｃｉｓ／Ｇｉｓキー", "左小指 Ａｓ／Ｅｓレバー", "左小指 Ｅ／Ｈキー",
                    "左小指 Ｆｉｓ／Ｃｉｓキー", "左小指 Ｂ／Ｆレバー"}),
        index,
        rightMiddle(Shape::Plate, 6, "右中指のプレート"),
        rightRing(),
        {"0FA",
         {},
         {{Shape::Key, {31, 130.5, 16, 7.5}, "A", "右小指 Ａｓ／Ｅｓキー"},
          {Shape::Key, {17, 140.5, 30, 7.5}, "F", "右小指 Ｆ／Ｃキー"}}},
    }};
}

const std::array<FingerLayout, 9>& layouts(FingerSystem system) {
    static const std::array<FingerLayout, 9> b = boehm();
    static const std::array<FingerLayout, 9> o = oehler();
    return system == FingerSystem::Boehm ? b : o;
}

struct Look {
    QColor body, bodyEdge, ink, open, keyEdge, pressed;
};
const Look kPlayable{{0xc4, 0xcb, 0xd6}, {0x6e, 0x78, 0x88}, {0x1c, 0x20, 0x26},
                     {0xff, 0xff, 0xff}, {0x5a, 0x65, 0x76}, kPressedKey};
const Look kGreyed{{0xe2, 0xe2, 0xe2}, {0xc4, 0xc4, 0xc4}, {0xb4, 0xb4, 0xb4},
                   {0xf6, 0xf6, 0xf6}, {0xc4, 0xc4, 0xc4}, {0xb4, 0xb4, 0xb4}};
const QColor kCross{0xd0, 0x1c, 0x1c};

void drawBody(QPainter& p, const QRect& body, const Look& look) {
    if (body.isEmpty()) return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(body, look.body);
    p.fillRect(body.left(), body.top(), 1, body.height(), look.bodyEdge);
    p.fillRect(body.right(), body.top(), 1, body.height(), look.bodyEdge);
    if (body.top() == kBodyTop) p.fillRect(body.left(), body.top(), body.width(), 1, look.bodyEdge);
    if (body.bottom() == kJointY || body.bottom() == kBodyBottom - 1)
        p.fillRect(body.left(), body.bottom(), body.width(), 1, look.bodyEdge);
}

void drawShape(QPainter& p, Shape shape, const QRectF& box) {
    switch (shape) {
    case Shape::Hole:
    case Shape::RoundKey: p.drawEllipse(box); break;
    case Shape::Key: p.drawRoundedRect(box, 2, 2); break;
    case Shape::Plate: p.drawRoundedRect(box, 3, 3); break;
    }
}

// Tone holes: filled = closed. Keys: a pressed key grows, turns orange and
// takes a heavy black outline; a key left alone stays white with a pale edge.
void drawPart(QPainter& p, const Part& part, bool pressed, const Look& look) {
    p.setRenderHint(QPainter::Antialiasing, true);
    if (part.shape == Shape::Hole || part.shape == Shape::Plate) {
        p.setPen(QPen(look.ink, 1.3));
        p.setBrush(pressed ? look.ink : look.open);
        drawShape(p, part.shape, part.box);
        return;
    }
    if (pressed) {
        p.setPen(QPen(look.ink, kPressedOutline));
        p.setBrush(look.pressed);
        const double g = kPressedGrowth;
        drawShape(p, part.shape, part.box.adjusted(-g, -g, g, g));
    } else {
        p.setPen(QPen(look.keyEdge, 1.2));  // at least 4.5 : 1 on white where it is whole
        p.setBrush(look.open);
        drawShape(p, part.shape, part.box);
    }
}

bool pressedIn(const Part& part, std::string_view code) {
    return !code.empty() && part.pressedBy.find(code.front()) != std::string_view::npos;
}

void drawLayout(QPainter& p, const FingerLayout& finger, std::string_view code, const Look& look) {
    drawBody(p, finger.body, look);
    // Keys left alone first, so that a pressed key lies over its neighbours' edges.
    for (const Part& part : finger.parts)
        if (!pressedIn(part, code) && !part.onlyWhenPressed) drawPart(p, part, false, look);
    for (const Part& part : finger.parts)
        if (pressedIn(part, code)) drawPart(p, part, true, look);
}

// The red cross over the whole diagram with its word; every X layer draws
// it the same way, so any one of them says it and all nine agree.
void drawCross(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(kCross, 3.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(5, 22), QPointF(45, 128));
    p.drawLine(QPointF(45, 22), QPointF(5, 128));
    const QRectF label(6, 64, 38, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(kCross);
    p.drawRoundedRect(label, 4, 4);
    p.setPen(Qt::white);
    p.setFont(japaneseFont(15, true));
    p.drawText(label, Qt::AlignCenter, QStringLiteral("不可"));
}

// What lies under a layer: the window and the rest of the diagram.
QImage diagramMatte(FingerSystem system, const Look& look, bool withParts, bool big) {
    const double scale = big ? kBigScale : 1.0;
    QImage matte = matteCanvas(QSize(big ? kBigFingerWidth : kFingerWidth, big ? kBigFingerHeight : kFingerHeight),
                               big ? kWindowGrey : kMixedBackground);
    QPainter p(&matte);
    p.scale(scale, scale);
    for (const FingerLayout& finger : layouts(system)) {
        drawBody(p, finger.body, look);
        if (withParts)
            for (const Part& part : finger.parts)
                if (!part.onlyWhenPressed) drawPart(p, part, false, look);
    }
    return matte;
}

}  // namespace

std::string_view systemFolder(FingerSystem system) { return system == FingerSystem::Boehm ? "Boe" : "Oeh"; }

std::string_view fingerCodes(FingerSystem system, int finger) { return layouts(system).at(finger).codes; }

Picture drawFinger(FingerSystem system, int finger, std::string_view code, bool big) {
    const FingerLayout& layout = layouts(system).at(finger);
    const bool impossible = code == "X";
    if (code.size() > 1 || (!code.empty() && !impossible && layout.codes.find(code.front()) == std::string_view::npos))
        throw BuildError("no finger picture " + std::string(kFingerPositions[finger].prefix) + std::string(code) +
                         " on the system " + std::string(systemFolder(system)));
    // The large diagram is drawn again at its size, never scaled from the small one.
    QImage drawing = blankDrawing(big ? QSize(kBigFingerWidth, kBigFingerHeight) : QSize(kFingerWidth, kFingerHeight));
    const Look& look = impossible ? kGreyed : kPlayable;
    if (!code.empty()) {
        QPainter p(&drawing);
        if (big) p.scale(kBigScale, kBigScale);
        drawLayout(p, layout, impossible ? std::string_view{} : code, look);
        if (impossible) drawCross(p);
    }
    const std::string_view folder = systemFolder(system), prefix = kFingerPositions[finger].prefix;
    return {big ? bigFingerPicture(folder, prefix, code) : fingerPicture(folder, prefix, code), drawing,
            diagramMatte(system, look, impossible, big)};
}

std::vector<Picture> fingerPictures() {
    std::vector<Picture> pictures;
    for (const bool big : {false, true})
        for (FingerSystem system : {FingerSystem::Boehm, FingerSystem::Oehler})
            for (int finger = 0; finger < static_cast<int>(kFingerPositions.size()); ++finger) {
                pictures.push_back(drawFinger(system, finger, "", big));
                pictures.push_back(drawFinger(system, finger, "X", big));
                for (char code : fingerCodes(system, finger))
                    pictures.push_back(drawFinger(system, finger, std::string_view(&code, 1), big));
            }
    return pictures;
}

std::vector<DiagramPart> diagramParts(FingerSystem system) {
    std::vector<DiagramPart> out;
    const auto& fingers = layouts(system);
    for (int f = 0; f < static_cast<int>(fingers.size()); ++f)
        for (const Part& part : fingers[static_cast<std::size_t>(f)].parts)
            out.push_back({f, part.shape == Shape::Key || part.shape == Shape::RoundKey, part.box, part.pressedBy,
                           part.name, part.note});
    return out;
}

void paintOpenDiagram(QPainter& p, FingerSystem system, bool withOptional) {
    for (const FingerLayout& finger : layouts(system)) drawBody(p, finger.body, kPlayable);
    for (const FingerLayout& finger : layouts(system))
        for (const Part& part : finger.parts)
            if (withOptional || !part.onlyWhenPressed) drawPart(p, part, false, kPlayable);
}

void paintMark(QPainter& p, Mark mark, const QRectF& box) {
    const bool hole = mark == Mark::OpenHole || mark == Mark::ClosedHole;
    drawPart(p, {hole ? Shape::Hole : Shape::Key, box, "", ""}, mark == Mark::ClosedHole || mark == Mark::PressedKey,
             kPlayable);
}

}  // namespace tarvel::dataset
