#include "data/fingering_chart.h"

#include <algorithm>

namespace tarvel {

void storeChart(const std::vector<std::string>& chartLines, FingeringTable& Unshi_tbl) {
    const std::size_t count = std::min(chartLines.size(), Unshi_tbl.size());
    std::copy_n(chartLines.begin(), count, Unshi_tbl.begin());
}

}  // namespace tarvel
