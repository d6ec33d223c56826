// The icon of the program's window: a clarinet with a note on a blue tile,
// 32 x 32 pixels in 16 colours (entry 0 transparent).
#pragma once

#include <QImage>

namespace tarvel {

QImage drawTarvelIcon();

}  // namespace tarvel
