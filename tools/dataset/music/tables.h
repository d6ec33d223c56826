// The tables of README.md, made from the same code as the data set, so that
// the documentation shows exactly what the files hold.
#pragma once

#include <string>

namespace tarvel::dataset {

// Markdown: the key table with the ranges of every pairing, both charts with
// their variant order, the lines to be confirmed by a player, and the
// variants chosen in the B-flat parts.
std::string readmeTables();

}  // namespace tarvel::dataset
