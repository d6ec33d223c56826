#include "fonts.h"

#include <QFile>
#include <QFontDatabase>

#include "gif_writer.h"

namespace tarvel::dataset {
namespace {

void requireFamily(const char* family, const char* package) {
    if (!QFontDatabase::families().contains(QString::fromLatin1(family)))
        throw BuildError(std::string("the font \"") + family + "\" is not installed (Debian package " + package + ")");
}

QFont pixelFont(const char* family, double pixelSize, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace

void requireFonts() {
    requireFamily(kJapaneseFamily, "fonts-ipaexfont-gothic");
    requireFamily(kSerifFamily, "fonts-noto-core");
    if (!QFile::exists(QString::fromLatin1(kMusicFontFile)))
        throw BuildError(std::string("the music font ") + kMusicFontFile +
                         " is missing (Debian package fonts-noto-core)");
}

QFont japaneseFont(double pixelSize, bool bold) { return pixelFont(kJapaneseFamily, pixelSize, bold); }

QFont serifFont(double pixelSize, bool bold) { return pixelFont(kSerifFamily, pixelSize, bold); }

QRawFont musicFont(double pixelSize) {
    QRawFont font(QString::fromLatin1(kMusicFontFile), pixelSize, QFont::PreferNoHinting);
    if (!font.isValid()) throw BuildError(std::string("cannot read the music font ") + kMusicFontFile);
    return font;
}

}  // namespace tarvel::dataset
