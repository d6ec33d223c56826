// The fingering charts of both systems, built from the fingering reference:
// one row per fingering, written in the reference's own cell tokens, encoded
// into the one-character finger codes that the finger pictures are named by.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::dataset {

enum class System { Boehm, Oehler };

// "Boe" and "Oeh", as the program stores the system choice.
std::optional<System> systemFromName(std::string_view name);
std::string_view systemName(System system);

inline constexpr int kChartBlocks = 51;  // block k = written D3 + k semitones on the B-flat clarinet
inline constexpr int kVariantsPerBlock = 10;
inline constexpr int kChartLineCount = 501;      // line 500 is variant 0 of block 50, the last line there is
inline constexpr int kHighestChartedBlock = 34;  // C6: no exercise fingers anything higher
inline constexpr std::string_view kNotPlayable = "X|XXXX|XXXX";

// How sure the reference is of a fingering: ✓, ◐, ⚠.
enum class Confidence { Sure, Likely, Uncertain };

// Finger groups in chart order, and where each code stands in a chart line.
enum Finger { L1, L2, L3, L4, L5, R2, R3, R4, R5 };
inline constexpr std::array<int, 9> kCodeColumn{0, 2, 3, 4, 5, 7, 8, 9, 10};

struct ChartEntry {
    int block = 0;
    int variant = 0;
    std::string line;    // eleven characters, L1|L2L3L4L5|R2R3R4R5
    std::string tokens;  // the same fingering in the reference's tokens, e.g. "T x x x E/B x x x -"
    Confidence confidence = Confidence::Sure;
    bool sideKeyToCheck = false;  // uses the side F#/B key, whose place among the side keys is unconfirmed
    bool byTwelfthRule = false;   // made from the fingering a twelfth lower plus the register key
    std::string_view label;       // short name of the fingering, e.g. "right E/B"
};

// Every charted fingering of the system, ordered by block and variant. Lines of
// the chart that are not listed here are kNotPlayable.
const std::vector<ChartEntry>& chartEntries(System system);

// The charted fingering of a block and variant, nullptr for a not-playable line.
const ChartEntry* chartEntry(System system, int block, int variant);

// The 501 chart lines, line 10 k + v being variant v of block k.
std::vector<std::string> chartLines(System system);

// Written pitch names of the blocks, e.g. "E3", "C#5/Db5" (for documentation).
std::string blockName(int block);

}  // namespace tarvel::dataset
