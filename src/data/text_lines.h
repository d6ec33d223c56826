#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

// Splits a text file's bytes into lines. Lines end in CR LF; a bare LF or a
// bare CR is taken as a line end too. A line end at the very end of the text does not
// start another, empty line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace tarvel
