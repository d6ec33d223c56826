// The fonts the pictures are drawn in: a Japanese gothic for every label, a
// Latin serif for the program's name and the music font for clefs, signs and
// note heads. Missing fonts are an error that names the font and its package.
#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>

namespace tarvel::dataset {

inline constexpr const char* kJapaneseFamily = "IPAexGothic";  // fonts-ipaexfont-gothic
inline constexpr const char* kSerifFamily = "Noto Serif";      // fonts-noto-core
inline constexpr const char* kMusicFontFile = "/usr/share/fonts/truetype/noto/NotoMusic-Regular.ttf";

// Checks that every font is installed; throws BuildError otherwise.
void requireFonts();

QFont japaneseFont(double pixelSize, bool bold = false);
QFont serifFont(double pixelSize, bool bold = false);
// The music font at a pixel size (its em).
QRawFont musicFont(double pixelSize);

}  // namespace tarvel::dataset
