#include "support/gif_fixture.h"

#include <QPainter>

#include "app/choices.h"
#include "data/data_paths.h"
#include "gif_writer.h"
#include "ui/page_pictures.h"

namespace tarvel::test {

QImage solidPicture(int width, int height, QColor colour, bool transparentRight) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, transparentRight ? width / 2 : width, height, colour);
    return image;
}

void writeGif(const DataFolder& folder, const std::string& dataPath, const QImage& picture) {
    const QByteArray bytes = dataset::gifBytes(picture, dataset::solidMatte(picture.size(), Qt::white));
    folder.write(dataPath, bytes.toStdString());
}

void writePictureSet(const DataFolder& folder) {
    for (const PagePicture& row : pagePictureTable())
        writeGif(folder, std::string(row.file), solidPicture(40, 30, Qt::blue));
    writeGif(folder, std::string(kStaffPicture), solidPicture(960, 200, Qt::black, true));
    writeGif(folder, std::string(kCancelPicture), solidPicture(25, 25, Qt::red));
    for (const char* key : {"2222222", "3222222", "3322222", "2222111"})
        writeGif(folder, std::string("system\\hyouji\\choshi\\") + key + ".gif",
                 solidPicture(100, 200, Qt::darkGray, true));
    for (int octave = 1; octave <= 5; ++octave)
        for (int letter = 0; letter <= 6; ++letter)
            for (int sign = 0; sign <= 5; ++sign)
                writeGif(folder, notePicture(static_cast<std::int16_t>(100 * octave + 10 * letter + sign)),
                         solidPicture(40, 150, Qt::darkGreen, true));
    for (const SystemChoice& system : kSystemChoices)
        for (const FingerPosition& finger : kFingerPositions)
            for (const char* code : {"", "0", "1", "2"})
                writeGif(folder, fingerPicture(system.setting, finger.prefix, code),
                         solidPicture(50, 150, Qt::magenta, true));
}

}  // namespace tarvel::test
