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
// the thumb and the left little finger to the left, the side keys and the
// right little finger to the right.
enum class Shape { Hole, Key, Plate };

struct Part {
    Shape shape;
    QRectF box;
    std::string_view pressedBy;  // the codes in which this hole is closed or this key pressed
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

QRectF hole(double centreY, double radius = 5) { return {kHoleX - radius, centreY - radius, 2 * radius, 2 * radius}; }

QRect bodyRows(int top, int bottom) { return {kBodyLeft, top, kBodyWidth, bottom - top}; }

// The fingers whose holes and keys are the same on both systems.
FingerLayout thumb() {  // the thumb hole on the back and the register key above it
    return {"0123", {}, {{Shape::Hole, {7, 11, 9, 9}, "12"}, {Shape::Key, {6.5, 2.5, 10, 5}, "23"}}};
}
FingerLayout leftIndex() {
    return {
        "01AG",
        bodyRows(kBodyTop, 29),
        {{Shape::Hole, hole(17), "1"}, {Shape::Key, {37.5, 2.5, 8, 5}, "A"}, {Shape::Key, {38.5, 10.5, 7, 5}, "G"}}};
}
FingerLayout leftMiddle() { return {"01", bodyRows(29, 43), {{Shape::Hole, hole(36), "1"}}}; }
FingerLayout leftRing(QRectF lever) {
    return {"01S", bodyRows(43, kJointY + 1), {{Shape::Hole, hole(50), "1"}, {Shape::Key, lever, "S"}}};
}
// Five keys in the same places; the lowest lever is F/C on Boehm, B/F on Oehler.
FingerLayout leftLittle(std::string_view codes, std::string_view lowestLever) {
    return {codes,
            {},
            {{Shape::Key, {11.5, 54.5, 8, 5}, "C"},
             {Shape::Key, {4, 54.5, 6, 5}, "A"},
             {Shape::Key, {4, 61.5, 6, 14}, "E"},
             {Shape::Key, {11.5, 61.5, 8, 6}, "H"},
             {Shape::Key, {11.5, 69.5, 8, 6}, lowestLever}}};
}
// Hole 4 with the two upper side keys (trill keys, never pressed in a chart).
FingerLayout rightIndex(std::string_view codes, std::string_view holeClosedBy) {
    return {codes,
            bodyRows(kJointY + 1, 99),
            {{Shape::Hole, hole(88), holeClosedBy},
             {Shape::Key, {38.5, 58.5, 6.5, 5}, ""},
             {Shape::Key, {38.5, 65.5, 6.5, 5}, ""}}};
}
FingerLayout rightMiddle(Shape shape, double radius) {
    return {"01", bodyRows(99, 113), {{shape, hole(106, radius), "1"}}};
}
FingerLayout rightRing() { return {"01", bodyRows(113, kBodyBottom), {{Shape::Hole, hole(120), "1"}}}; }

std::array<FingerLayout, 9> boehm() {
    FingerLayout index = rightIndex("01SF", "1F");
    index.parts.push_back({Shape::Key, {38.5, 78.5, 6.5, 6}, "S"});
    index.parts.push_back({Shape::Key, {38.5, 86.5, 6.5, 6}, "F"});
    return {{
        thumb(),
        leftIndex(),
        leftMiddle(),
        leftRing({37.5, 40.5, 7, 5}),
        leftLittle("0EFHCA", "F"),
        index,
        rightMiddle(Shape::Hole, 5),
        rightRing(),
        {"0EFHAD",
         {},
         {{Shape::Key, {27.5, 130.5, 8, 5}, "H"},
          {Shape::Key, {37.5, 130.5, 8, 5}, "A"},
          {Shape::Key, {27.5, 137.5, 8, 5}, "E"},
          {Shape::Key, {37.5, 137.5, 8, 5}, "F"},
          {Shape::Key, {30.5, 144, 12, 4}, "D"}}},
    }};
}

std::array<FingerLayout, 9> oehler() {
    FingerLayout index = rightIndex("01S", "1");
    index.parts.push_back({Shape::Key, {38.5, 79.5, 6.5, 7}, "S"});
    return {{
        thumb(),
        leftIndex(),
        leftMiddle(),
        leftRing({37.5, 40.5, 8, 6}),  // the thicker Es/B lever
        leftLittle("0EHCAB", "B"),
        index,
        rightMiddle(Shape::Plate, 6),
        rightRing(),
        {"0FA", {}, {{Shape::Key, {35.5, 130.5, 10, 6}, "A"}, {Shape::Key, {27.5, 139.5, 18, 6}, "F"}}},
    }};
}

const std::array<FingerLayout, 9>& layouts(FingerSystem system) {
    static const std::array<FingerLayout, 9> b = boehm();
    static const std::array<FingerLayout, 9> o = oehler();
    return system == FingerSystem::Boehm ? b : o;
}

struct Look {
    QColor body, bodyEdge, ink, open;
};
const Look kPlayable{{0xc4, 0xcb, 0xd6}, {0x6e, 0x78, 0x88}, {0x1c, 0x20, 0x26}, {0xff, 0xff, 0xff}};
const Look kGreyed{{0xe2, 0xe2, 0xe2}, {0xc4, 0xc4, 0xc4}, {0xb4, 0xb4, 0xb4}, {0xf6, 0xf6, 0xf6}};
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

void drawPart(QPainter& p, const Part& part, bool pressed, const Look& look) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(look.ink, part.shape == Shape::Key ? 1.0 : 1.3));
    p.setBrush(pressed ? look.ink : look.open);
    switch (part.shape) {
    case Shape::Hole: p.drawEllipse(part.box); break;
    case Shape::Key: p.drawRoundedRect(part.box, 1.8, 1.8); break;
    case Shape::Plate: p.drawRoundedRect(part.box, 3, 3); break;
    }
}

void drawLayout(QPainter& p, const FingerLayout& finger, std::string_view code, const Look& look) {
    drawBody(p, finger.body, look);
    for (const Part& part : finger.parts)
        drawPart(p, part, !code.empty() && part.pressedBy.find(code.front()) != std::string_view::npos, look);
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
QImage diagramMatte(FingerSystem system, const Look& look, bool withParts) {
    QImage matte = solidMatte(QSize(kFingerWidth, kFingerHeight), kMixedBackground);
    QPainter p(&matte);
    for (const FingerLayout& finger : layouts(system)) {
        drawBody(p, finger.body, look);
        if (withParts)
            for (const Part& part : finger.parts) drawPart(p, part, false, look);
    }
    return matte;
}

}  // namespace

std::string_view systemFolder(FingerSystem system) { return system == FingerSystem::Boehm ? "Boe" : "Oeh"; }

std::string_view fingerCodes(FingerSystem system, int finger) { return layouts(system).at(finger).codes; }

Picture drawFinger(FingerSystem system, int finger, std::string_view code) {
    const FingerLayout& layout = layouts(system).at(finger);
    const bool impossible = code == "X";
    if (code.size() > 1 || (!code.empty() && !impossible && layout.codes.find(code.front()) == std::string_view::npos))
        throw BuildError("no finger picture " + std::string(kFingerPositions[finger].prefix) + std::string(code) +
                         " on the system " + std::string(systemFolder(system)));
    QImage drawing = blankDrawing(QSize(kFingerWidth, kFingerHeight));
    const Look& look = impossible ? kGreyed : kPlayable;
    if (!code.empty()) {
        QPainter p(&drawing);
        drawLayout(p, layout, impossible ? std::string_view{} : code, look);
        if (impossible) drawCross(p);
    }
    return {fingerPicture(systemFolder(system), kFingerPositions[finger].prefix, code), drawing,
            diagramMatte(system, look, impossible)};
}

std::vector<Picture> fingerPictures() {
    std::vector<Picture> pictures;
    for (FingerSystem system : {FingerSystem::Boehm, FingerSystem::Oehler})
        for (int finger = 0; finger < static_cast<int>(kFingerPositions.size()); ++finger) {
            pictures.push_back(drawFinger(system, finger, ""));
            pictures.push_back(drawFinger(system, finger, "X"));
            for (char code : fingerCodes(system, finger))
                pictures.push_back(drawFinger(system, finger, std::string_view(&code, 1)));
        }
    return pictures;
}

}  // namespace tarvel::dataset
