#include "qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace tarvel {

QString installFontSubstitutes() {
    const QStringList candidates{"IPAexGothic", "Noto Sans CJK JP", "IPAGothic", "IPAPGothic"};
    QStringList installed;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : candidates)
        if (families.contains(family)) installed << family;
    for (const char* wanted : {"MS UI Gothic", "ＭＳ Ｐゴシック"})
        QFont::insertSubstitutions(QString::fromUtf8(wanted), installed);
    return installed.value(0);
}

QFont elementFont(const QString& name, double points, bool bold) {
    QFont font(name);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    font.setBold(bold);
    return font;
}

}  // namespace tarvel
