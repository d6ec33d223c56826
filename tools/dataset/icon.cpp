#include "icon.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace tarvel {
namespace {

constexpr int kSize = 32;

// The sixteen colours: the tile's blues, the body's blacks and greys, the
// keys' silver, the note's yellow, and the steps between them that the
// antialiased edges need.
constexpr std::array<QRgb, 16> kColours{
    0x00000000, 0xff1d3f7a, 0xff2f5fb3, 0xff5b84cc, 0xff111318, 0xff2a2d34, 0xff4a4e58, 0xff7c8290,
    0xffb4bac4, 0xffe2e6ec, 0xffffffff, 0xfff2c230, 0xffc89a1c, 0xff8a6a24, 0xff203458, 0xff3c4a66,
};

int nearest(QRgb pixel) {
    if (qAlpha(pixel) < 96) return 0;
    int best = 1;
    int bestDistance = 1 << 30;
    for (int i = 1; i < static_cast<int>(kColours.size()); ++i) {
        const int dr = qRed(pixel) - qRed(kColours[i]);
        const int dg = qGreen(pixel) - qGreen(kColours[i]);
        const int db = qBlue(pixel) - qBlue(kColours[i]);
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace

void paintTarvelIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.setPen(QPen(QColor(kColours[1]), 1));
    p.setBrush(QColor(kColours[2]));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    // The clarinet from the upper left to the bell at the lower right.
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kColours[4]));
    p.drawRect(QRectF(-17, -1.5, 4, 3));     // mouthpiece
    p.drawRect(QRectF(-13, -2.2, 22, 4.4));  // body
    QPainterPath bell;
    bell.moveTo(9, -2.2);
    bell.lineTo(15, -4.5);
    bell.lineTo(15, 4.5);
    bell.lineTo(9, 2.2);
    bell.closeSubpath();
    p.drawPath(bell);
    p.setBrush(QColor(kColours[9]));
    for (double x : {-9.0, -5.5, -2.0, 2.5, 6.0}) p.drawEllipse(QPointF(x, 0), 1.1, 1.1);
    p.restore();

    // An eighth note in the upper right corner.
    p.setBrush(QColor(kColours[11]));
    p.drawEllipse(QPointF(21.5, 13), 3.2, 2.4);
    p.fillRect(QRectF(23.6, 3, 1.4, 10), QColor(kColours[11]));
    p.setPen(QPen(QColor(kColours[11]), 1.4));
    p.drawLine(QPointF(24.3, 3.5), QPointF(28, 7.5));
}

namespace {

QImage paintIcon() {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintTarvelIcon(p);
    return image;
}

}  // namespace

QImage drawTarvelIconAt(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / static_cast<double>(kSize), size / static_cast<double>(kSize));
    paintTarvelIcon(p);
    return image;
}

QImage drawTarvelIcon() {
    const QImage painted = paintIcon();
    QImage icon(kSize, kSize, QImage::Format_Indexed8);
    QList<QRgb> table(kColours.begin(), kColours.end());
    icon.setColorTable(table);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) icon.setPixel(x, y, static_cast<uint>(nearest(painted.pixel(x, y))));
    return icon;
}

}  // namespace tarvel
