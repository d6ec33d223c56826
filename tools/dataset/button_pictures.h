// The title and every button of the pages, and the run's cancel button.
// Each is an opaque rounded button sized to fit its place on the window.
#pragma once

#include <QSize>

#include <vector>

#include "picture.h"

namespace tarvel::dataset {

// The largest picture each place takes: buttons must not reach the next
// button, the label under them or the parts of the window they must leave free.
inline constexpr QSize kSystemButton{200, 44};  // pages 1 and 2, 48 px apart
inline constexpr QSize kKeyButton{116, 76};     // key page: labels 80 px below, columns 125 px apart
inline constexpr QSize kTempoButton{148, 64};   // tempo page: columns 160, rows 72 px apart
inline constexpr QSize kChoiceButton{228, 64};  // pages 5 and 6: columns 240, rows 72 px apart
inline constexpr QSize kBackButton{120, 40};
inline constexpr QSize kBackToStartButton{150, 40};  // room for its key, "Home"
inline constexpr QSize kCancelButton{58, 25};        // the disc and the cap of its key
inline constexpr QSize kProgressButton{88, 88};      // key page: left of the back buttons
inline constexpr QSize kWeakButton{178, 62};         // the weak notes and their drill, under the "？"
inline constexpr QSize kTakeBackButton{228, 54};     // the progress page, under the export's note
inline constexpr QSize kTitle{513, 196};             // in the message label, centred on it
inline constexpr QSize kAboutButton{48, 48};         // page 1's top right corner, left of the "？"
inline constexpr QSize kHelpButton{40, 44};          // top right, right of page 6's grade ladder
inline constexpr QSize kLegendButton{200, 40};       // the help page: the other system's legend

// Every picture of the page picture table, once each, and the cancel button.
std::vector<Picture> buttonPictures();

}  // namespace tarvel::dataset
