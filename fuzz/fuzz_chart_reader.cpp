// libFuzzer target: reading a fingering chart into the table and naming the
// nine finger pictures of each of its lines.
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
    static tarvel::FingeringTable table;  // kept across inputs, as the program keeps it across charts
    tarvel::storeChart(lines, table);
    for (std::size_t i = 0; i < lines.size() && i < table.size(); ++i) require(table[i] == lines[i]);
    for (const std::string& line : table) {
        for (const tarvel::FingerPosition& finger : tarvel::kFingerPositions) {
            const std::string code = tarvel::fingerCode(line, finger);
            require(code.size() <= 1);
            const std::string path = tarvel::fingerPicture("Boe", finger.prefix, code);
            require(path.size() == std::string_view("system\\unshi\\Boe\\").size() + 2 + code.size() + 4);
        }
    }
    return 0;
}
