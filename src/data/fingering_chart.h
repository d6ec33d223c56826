// The fingering chart: one line per fingering, ten lines per chart block.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tarvel {

using FingeringTable = std::array<std::string, 501>;  // Unshi_tbl

// Line i + 1 of the chart goes to entry i; entries the chart does not reach
// keep what they held, and lines beyond the 501st are not read.
void storeChart(const std::vector<std::string>& chartLines, FingeringTable& Unshi_tbl);

}  // namespace tarvel
