// The names of the pressed keys that the run shows under the large diagram
// come from the program's one table of finger codes; they must be exactly
// the keys the diagram draws pressed, for every code a finger has and for
// every line of both charts.
#include <gtest/gtest.h>

#include "data/data_paths.h"
#include "data/fingering_keys.h"
#include "finger_pictures.h"

#ifdef TARVEL_HAVE_MUSIC
#include "music.h"
#endif

namespace tarvel::dataset {
namespace {

// The keys the diagram draws pressed for one finger's code, by their legend names.
std::vector<std::string_view> drawnPressed(FingerSystem system, int finger, char code) {
    std::vector<std::string_view> names;
    for (const DiagramPart& part : diagramParts(system))
        if (part.finger == finger && part.isKey && part.code.find(code) != std::string_view::npos)
            names.push_back(part.name);
    return names;
}

std::vector<std::string_view> drawnPressed(FingerSystem system, std::string_view line) {
    std::vector<std::string_view> names;
    for (int finger = 0; finger < 9; ++finger) {
        const std::string code = fingerCode(line, kFingerPositions[static_cast<std::size_t>(finger)]);
        if (code.empty() || code == "X") continue;
        for (std::string_view name : drawnPressed(system, finger, code.front())) names.push_back(name);
    }
    return names;
}

// A line that sets one finger's code and leaves every other finger open.
std::string lineWith(int finger, char code) {
    std::string line = "0|0000|0000";
    const int column = kFingerPositions[static_cast<std::size_t>(finger)].chartColumn;
    line[column == 0 ? line.size() - 1 : static_cast<std::size_t>(column - 1)] = code;
    return line;
}

class KeyNames : public testing::TestWithParam<FingerSystem> {
protected:
    std::string system() const { return std::string(systemFolder(GetParam())); }
};

TEST_P(KeyNames, EveryCodeOfEveryFinger_NamesTheKeysItsPictureDrawsPressed) {
    for (int finger = 0; finger < 9; ++finger)
        for (char code : fingerCodes(GetParam(), finger)) {
            const std::string line = lineWith(finger, code);
            EXPECT_EQ(pressedKeyNames(system(), line), drawnPressed(GetParam(), line))
                << kFingerPositions[static_cast<std::size_t>(finger)].prefix << code;
        }
}

TEST_P(KeyNames, EveryRowOfTheTable_IsAKeyTheDiagramHas) {
    for (const FingerKey& key : kFingerKeys) {
        if (key.system != system()) continue;
        EXPECT_EQ(drawnPressed(GetParam(), key.finger, key.code), std::vector<std::string_view>{key.name}) << key.name;
    }
}

#ifdef TARVEL_HAVE_MUSIC
TEST_P(KeyNames, EveryLineOfTheChart_NamesExactlyTheKeysItsDiagramPresses) {
    int lines = 0, withKeys = 0;
    for (const std::string& line : fingeringChart(system())) {
        ++lines;
        const auto named = pressedKeyNames(system(), line);
        EXPECT_EQ(named, drawnPressed(GetParam(), line)) << "line " << lines << ": " << line;
        withKeys += named.empty() ? 0 : 1;
    }
    EXPECT_GT(withKeys, 20) << "the chart's lines press keys";
}
#endif

std::string systemName(const testing::TestParamInfo<FingerSystem>& param) {
    return std::string(systemFolder(param.param));
}

INSTANTIATE_TEST_SUITE_P(BothSystems, KeyNames, testing::Values(FingerSystem::Boehm, FingerSystem::Oehler), systemName);

}  // namespace
}  // namespace tarvel::dataset
