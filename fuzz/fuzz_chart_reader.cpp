// libFuzzer target: reading a fingering chart into the table and naming the
// nine finger pictures of each line the chart wrote. Each input starts from an
// empty table and keeps nothing for the next, so its speed does not depend on
// earlier inputs. Seeded with the real 501-line charts; run it with lengths
// that fit a chart (-max_len=16384 in scripts/fuzz).
#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"

#include "data/data_paths.h"
#include "data/fingering_chart.h"
#include "data/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines =
        tarvel::splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
    tarvel::FingeringTable table;
    tarvel::storeChart(lines, table);
    const std::size_t written = std::min(lines.size(), table.size());
    // Each picture name the input leads to is built and checked once: a code
    // is one character (index 256: none), so a finger has at most 257 names.
    std::array<std::bitset<257>, tarvel::kFingerPositions.size()> named{};
    for (std::size_t i = 0; i < written; ++i) {
        require(table[i] == lines[i]);
        for (std::size_t k = 0; k < tarvel::kFingerPositions.size(); ++k) {
            const tarvel::FingerPosition& finger = tarvel::kFingerPositions[k];
            const std::string code = tarvel::fingerCode(table[i], finger);
            require(code.size() <= 1);
            const std::size_t index = code.empty() ? 256 : static_cast<unsigned char>(code[0]);
            if (named[k].test(index)) continue;
            named[k].set(index);
            const std::string path = tarvel::fingerPicture("Boe", finger.prefix, code);
            require(path.size() == std::string_view("system\\unshi\\Boe\\").size() + 2 + code.size() + 4);
        }
    }
    for (std::size_t i = written; i < table.size(); ++i) require(table[i].empty());  // untouched entries
    return 0;
}
