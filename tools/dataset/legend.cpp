#include "legend.h"

#include <QFontMetricsF>

#include <algorithm>

#include "app/choices.h"
#include "fonts.h"
#include "gif_writer.h"

namespace tarvel::dataset {
namespace {

constexpr double kScale = 3.0;  // the diagram drawn three times its size
constexpr double kMargin = 12;
constexpr double kTitleHeight = 34;
constexpr double kListGap = 28;  // between the diagram and the list
constexpr double kNumberWidth = 24;
constexpr double kKeyRowHeight = 40;
const QColor kText{0x1c, 0x20, 0x26};

QString qt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* const kFingerNames[] = {"左手 親指",     "左手 人さし指", "左手 中指", "左手 薬指", "左手 小指",
                                    "右手 人さし指", "右手 中指",     "右手 薬指", "右手 小指"};

}  // namespace

std::vector<Picture> helpLegendPictures() {
    std::vector<Picture> pictures;
    for (const SystemChoice& choice : kSystemChoices) {
        const FingerSystem system = choice.setting == "Oeh" ? FingerSystem::Oehler : FingerSystem::Boehm;
        QImage image = drawLegend(system, kHelpLegendStyle).image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        pictures.push_back({std::string(choice.legend), image, solidMatte(image.size(), Qt::white)});
    }
    return pictures;
}

const char* legendFileName(FingerSystem system) {
    return system == FingerSystem::Boehm ? "legend-boehm.png" : "legend-oehler.png";
}

// The enlarged diagram with a number on every hole and key, and beside it
// the numbered names, finger by finger. Numbers instead of leader lines:
// the little-finger keys lie too close together for lines to stay clear.
Legend drawLegend(FingerSystem system, const LegendStyle& style) {
    const double lineHeight = style.lineHeight;
    const QFont font = japaneseFont(style.fontSize);
    const QFont bold = japaneseFont(style.fontSize, true);
    const QFont numberFont = japaneseFont(10.5, true);
    const QFontMetricsF metrics(font);
    const std::vector<DiagramPart> parts = diagramParts(system);

    const double diagramLeft = kMargin + 4, diagramTop = kTitleHeight + 6;
    const double diagramWidth = kFingerWidth * kScale, diagramHeight = kFingerHeight * kScale;
    const double listLeft = diagramLeft + diagramWidth + kListGap;
    double listWidth = 0;
    for (const DiagramPart& part : parts)
        listWidth = std::max(listWidth, kNumberWidth + metrics.horizontalAdvance(qt(part.name) + qt(part.note)));
    int groups = 0;
    for (int f = 0; f < 9; ++f)
        groups += std::any_of(parts.begin(), parts.end(), [f](const DiagramPart& p) { return p.finger == f; });
    const double listHeight = (static_cast<double>(parts.size()) + groups) * lineHeight + groups * 4;
    double samplesWidth = kMargin;
    for (const char* text : {"ふさぐ穴", "あける穴", "押すキー", "押さないキー"})
        samplesWidth += 30 + metrics.horizontalAdvance(QString::fromUtf8(text)) + 24;
    const int width = static_cast<int>(std::ceil(std::max(listLeft + 8 + listWidth + kMargin, samplesWidth)));
    const int height =
        static_cast<int>(std::ceil(std::max(diagramTop + diagramHeight, diagramTop + listHeight) + kKeyRowHeight));

    Legend legend;
    legend.image = matteCanvas(QSize(width, height), Qt::white);  // twice the pixels in a twin
    QPainter p(&legend.image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.setFont(japaneseFont(16, true));
    p.setPen(kText);
    p.drawText(QRectF(kMargin, 6, width - 2 * kMargin, kTitleHeight - 6), Qt::AlignLeft | Qt::AlignVCenter,
               system == FingerSystem::Boehm ? QStringLiteral("ベーム式の運指図：穴とキーの名前")
                                             : QStringLiteral("エーラー式の運指図：穴とキーの名前"));

    p.save();
    p.translate(diagramLeft, diagramTop);
    p.scale(kScale, kScale);
    paintOpenDiagram(p, system, true);
    p.restore();

    double y = diagramTop;
    int number = 0;
    int previousFinger = -1;
    for (const DiagramPart& part : parts) {
        if (part.finger != previousFinger) {
            if (previousFinger >= 0) y += 4;
            p.setFont(bold);
            p.setPen(kText);
            p.drawText(QRectF(listLeft, y, listWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromUtf8(kFingerNames[part.finger]));
            y += lineHeight;
            previousFinger = part.finger;
        }
        const QString n = QString::number(++number);
        // The number on the part: every part is at least 13 px tall at this size.
        const QRectF box(part.box.left() * kScale + diagramLeft, part.box.top() * kScale + diagramTop,
                         part.box.width() * kScale, part.box.height() * kScale);
        p.setFont(numberFont);
        p.setPen(kText);
        p.drawText(box, Qt::AlignCenter, n);
        // Its line in the list.
        const QRectF entry(listLeft + 8, y, listWidth - 8, lineHeight);
        p.setFont(bold);
        p.drawText(QRectF(entry.left(), y, kNumberWidth - 4, lineHeight), Qt::AlignRight | Qt::AlignVCenter, n);
        p.setFont(font);
        p.drawText(QRectF(entry.left() + kNumberWidth, y, entry.width() - kNumberWidth, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, qt(part.name) + qt(part.note));
        legend.labels.push_back({entry, box.center(), part.name});
        y += lineHeight;
    }

    // What the marks mean.
    struct Sample {
        Mark mark;
        const char* text;
    };
    const Sample samples[] = {{Mark::ClosedHole, "ふさぐ穴"},
                              {Mark::OpenHole, "あける穴"},
                              {Mark::PressedKey, "押すキー"},
                              {Mark::Key, "押さないキー"}};
    double x = kMargin;
    const double rowY = height - kKeyRowHeight / 2;
    p.setFont(font);
    for (const Sample& s : samples) {
        const bool hole = s.mark == Mark::ClosedHole || s.mark == Mark::OpenHole;
        const QRectF box = hole ? QRectF(x + 1, rowY - 7, 14, 14) : QRectF(x + 2, rowY - 6, 20, 12);
        p.save();
        paintMark(p, s.mark, box);
        p.restore();
        x = box.right() + 7;
        p.setPen(kText);
        const QString text = QString::fromUtf8(s.text);
        p.drawText(QRectF(x, rowY - lineHeight / 2, metrics.horizontalAdvance(text) + 2, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text) + 24;
    }
    p.end();
    return legend;
}

}  // namespace tarvel::dataset
