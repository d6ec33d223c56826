// Choosing the fingering variant of every note of a passage, by the rules
// clarinet teachers give for the system (see README.md, "Variant rules").
#pragma once

#include <vector>

#include "chart.h"

namespace tarvel::dataset {

// `blocks` are the fingered chart blocks of a passage played in one go; the
// result holds one chart variant per note. A note repeated at once keeps its
// fingering. Every block must be charted (variant 0 playable).
std::vector<int> chooseVariants(System system, const std::vector<int>& blocks);

// Whether the standard instrument of the system has the key a fingering needs:
// the left Ab/Eb lever (Oehler: As/Es lever) and the Boehm low Eb key are
// extras of some models only, so passages never use them.
bool onStandardInstrument(System system, const ChartEntry& entry);

}  // namespace tarvel::dataset
