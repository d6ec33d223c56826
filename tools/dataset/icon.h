// The icon of the program's window: a clarinet with a note on a blue tile,
// 32 x 32 pixels in 16 colours (entry 0 transparent).
#pragma once

#include <QImage>

class QPainter;

namespace tarvel {

// The window's icon: 32 x 32 pixels in 16 colours.
QImage drawTarvelIcon();
// The same drawing at any size, in full colour, for the desktop's menus.
QImage drawTarvelIconAt(int size);
// Paints the icon on a square of 32 units from the painter's origin.
void paintTarvelIcon(QPainter& p);

}  // namespace tarvel
