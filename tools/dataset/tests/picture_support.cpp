#include "picture_support.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

#include "gif_writer.h"

namespace tarvel::dataset::test {

QImage readGif(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage readGifFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return readGif(file.readAll());
}

QImage roundTrip(const Picture& picture) { return readGif(gifBytes(picture.drawing, picture.matte)); }

bool opaque(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) == 255; }

std::vector<QPoint> inkNotIn(const QImage& image, const QImage& without) {
    std::vector<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (opaque(image, x, y) && !opaque(without, x, y)) points.emplace_back(x, y);
    return points;
}

std::vector<QPoint> ink(const QImage& image) {
    std::vector<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (opaque(image, x, y)) points.emplace_back(x, y);
    return points;
}

QRect bounds(const std::vector<QPoint>& points) {
    QRect box;
    for (const QPoint& p : points) box |= QRect(p, QSize(1, 1));
    return box;
}

}  // namespace tarvel::dataset::test
