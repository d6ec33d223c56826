// The content of the data set's text files: the fingering charts of both
// systems and the exercises of every system, pairing and key. Standard C++ only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvel::dataset {

// The lines of "system\unshi\boe.txt" (system "Boe") or "system\unshi\oeh.txt"
// ("Oeh"), without line ends: line 10 k + v is variant v of chart block k.
std::vector<std::string> fingeringChart(std::string_view system);

// The lines of "system\onkai\<system>\<pairing>\<key>.txt", without line ends,
// from the key line to the end line (an empty line).
std::vector<std::string> exercise(std::string_view system, std::string_view pairing, std::string_view key);

}  // namespace tarvel::dataset
