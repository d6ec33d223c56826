#pragma once

#include <QFont>
#include <QString>

namespace tarvel {

// Maps the Japanese Windows fonts the program asks for onto an installed
// Japanese font. Call once, before the first widget is made. Returns the
// family that will be used, or an empty string when none is installed.
QString installFontSubstitutes();

// A font by the program's name and size in points, at the reference 96 dpi,
// so that the fixed layout holds whatever the screen's dots per inch.
QFont elementFont(const QString& name, double points, bool bold);

}  // namespace tarvel
