// Page 5's small staff: the exercise's rows at 6 px from line to line, three
// rows side by side under the answer buttons, each slip marked on its note.
// Drawn with the same glyphs as the run's staves, at this size.
#pragma once

#include <vector>

#include "picture.h"

namespace tarvel::dataset {

inline constexpr int kMiniLineSpacing = 6;
inline constexpr int kMiniBottomLineY = 61;  // in the band of kScoreBandHeight px
inline constexpr int kMiniHeadLeft = 9;      // inside a note's column of kScoreColumnWidth px

// The colours of the slips: a wrong note, a note not heard, an extra note.
inline const QColor kWrongColour{0xd0, 0x1c, 0x1c};
inline const QColor kSilentColour{0x5a, 0x6a, 0x85};
inline const QColor kExtraColour{0xe0, 0x78, 0x00};

// The two stretches of staff, the key signatures, every note, the rings of
// the two kinds of slip at every position, the extra note's mark and the legend.
std::vector<Picture> miniScorePictures();

}  // namespace tarvel::dataset
