// The legend of the fingering diagrams: the diagram of one system enlarged
// with a number on every hole and key, the numbered Japanese names beside
// it, and what filled, white and orange mean. For the READMEs; the builder
// writes one PNG per system beside the data set.
#pragma once

#include <QImage>

#include <vector>

#include "finger_pictures.h"
#include "picture.h"

namespace tarvel::dataset {

// Where a legend's name stands and which part it names, for tests.
struct LegendLabel {
    QRectF text;   // the name's line in the list
    QPointF part;  // the centre of the named part, where its number stands
    std::string_view name;
};

struct Legend {
    QImage image;  // opaque, on white
    std::vector<LegendLabel> labels;
};

// The size of the names: the READMEs' legends, or the help page's, which
// must fit the window's height.
struct LegendStyle {
    double fontSize = 13;
    double lineHeight = 18;
};
inline constexpr LegendStyle kHelpLegendStyle{12, 16};

Legend drawLegend(FingerSystem system, const LegendStyle& style = {});

// The help page's legends, as pictures of the data set: "system\hyouji\help\legend_Boe.gif" ...
std::vector<Picture> helpLegendPictures();

// "legend-boehm.png", "legend-oehler.png": the file name beside the data set.
const char* legendFileName(FingerSystem system);

}  // namespace tarvel::dataset
