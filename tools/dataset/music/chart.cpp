#include "chart.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tarvel::dataset {
namespace {

// A row of the reference's tables. A row whose fingering is kTwelfth is the
// fingering of the block 19 semitones lower with the same variant, plus the
// register key: the clarion B4 to C6 overblows the chalumeau a twelfth up.
struct Row {
    int block;
    int variant;
    std::string_view tokens;
    Confidence confidence;
    std::string_view label;
    bool sideKeyToCheck = false;
};

constexpr std::string_view kTwelfth = "twelfth";
constexpr int kTwelfthSemitones = 19;

constexpr Confidence S = Confidence::Sure;
constexpr Confidence P = Confidence::Likely;
constexpr Confidence U = Confidence::Uncertain;

// Boehm, 17 keys / 6 rings. Block 1 variant 0 stays not playable: the standard
// instrument has no low E-flat; variant 1 is the full-Boehm fingering.
// Blocks 0 and 35 up are not charted (D3 is impossible; no exercise reaches
// the altissimo).
const Row kBoehmRows[] = {
    {1, 1, "T x x x - x x x lowEb", P, "low Eb key (full Boehm only)"},
    {2, 0, "T x x x E/B x x x -", S, "left E/B"},
    {2, 1, "T x x x - x x x E/B", S, "right E/B"},
    {2, 2, "T x x x E/B x x x F/C", P, "left E/B + right F/C held"},
    {2, 3, "T x x x F/C x x x E/B", P, "right E/B + left F/C held"},
    {3, 0, "T x x x - x x x F/C", S, "right F/C"},
    {3, 1, "T x x x F/C x x x -", S, "left F/C"},
    {4, 0, "T x x x F#/C# x x x -", S, "left F#/C#"},
    {4, 1, "T x x x - x x x F#/C#", S, "right F#/C#"},
    {5, 0, "T x x x - x x x -", S, "only fingering"},
    {6, 0, "T x x x - x x x Ab/Eb", S, "right Ab/Eb"},
    {6, 1, "T x x x Ab/Eb x x x -", S, "left Ab/Eb lever (where fitted)"},
    {7, 0, "T x x x - x x - -", S, "only fingering"},
    {8, 0, "T x x x - x - - -", S, "only common fingering"},
    {9, 0, "T x x x - - x - -", S, "fork"},
    {9, 1, "T x x x - x+sF# - - -", P, "side F#/B key", true},
    {10, 0, "T x x x - - - - -", S, "only fingering"},
    {11, 0, "T x x x C#/G# - - - -", S, "left C#/G#"},
    {12, 0, "T x x - - - - - -", S, "only fingering"},
    {13, 0, "T x - - - sBb - - -", S, "side Eb/Bb key"},
    {13, 1, "T x - Sl - - - - -", S, "sliver"},
    {13, 2, "T x - - - x - - -", S, "1+1"},
    {14, 0, "T x - - - - - - -", S, "only fingering"},
    {15, 0, "T - - - - - - - -", S, "thumb alone"},
    {16, 0, "- x - - - - - - -", S, "index alone"},
    {17, 0, "- - - - - - - - -", S, "open G"},
    {17, 1, "- - - - - x x x -", S, "right hand down"},
    {18, 0, "- G# - - - - - - -", S, "G# key"},
    {18, 1, "- G# - - - x x x -", S, "right hand down"},
    {19, 0, "- A - - - - - - -", S, "A key"},
    {19, 1, "- A - - - x x x -", S, "right hand down"},
    {20, 0, "R A - - - - - - -", S, "A key + register key"},
    {20, 1, "R A - - - x x x -", S, "right hand down"},
    {21, 0, kTwelfth, S, "left E/B"},
    {21, 1, kTwelfth, S, "right E/B"},
    {21, 2, kTwelfth, S, "left E/B + right F/C held"},
    {21, 3, kTwelfth, S, "right E/B + left F/C held"},
    {22, 0, kTwelfth, S, "right F/C"},
    {22, 1, kTwelfth, S, "left F/C"},
    {23, 0, kTwelfth, S, "left F#/C#"},
    {23, 1, kTwelfth, S, "right F#/C#"},
    {24, 0, kTwelfth, S, "only fingering"},
    {25, 0, kTwelfth, S, "right Ab/Eb"},
    {25, 1, kTwelfth, S, "left Ab/Eb lever (where fitted)"},
    {26, 0, kTwelfth, S, "only fingering"},
    {27, 0, kTwelfth, S, "only common fingering"},
    {28, 0, kTwelfth, S, "fork"},
    {28, 1, kTwelfth, S, "side F#/B key", true},
    {29, 0, kTwelfth, S, "only fingering"},
    {30, 0, kTwelfth, S, "left C#/G#"},
    {31, 0, kTwelfth, S, "only common fingering"},
    {32, 0, kTwelfth, S, "side Eb/Bb key"},
    {32, 1, kTwelfth, S, "sliver"},
    {32, 2, kTwelfth, S, "1+1"},
    {33, 0, kTwelfth, S, "only common fingering"},
    {34, 0, kTwelfth, S, "thumb + register key"},
    {34, 1, "TR - - - - - - - Ab/Eb", P, "with Ab/Eb key"},
    {34, 2, "TR - - - - x x x Ab/Eb", P, "right hand down + Ab/Eb key"},
};

// Oehler, 22 keys / 5 rings / 1 plate with the common extra levers. Blocks 0
// and 1 are not playable; 35 up are not charted.
const Row kOehlerRows[] = {
    {2, 0, "T x x x E/B x x x -", S, "left E/H"},
    {2, 1, "T x x x E/B x x x F/C", P, "left E/H + right F/C held"},
    {3, 0, "T x x x - x x x F/C", S, "right F/C"},
    {4, 0, "T x x x F#/C# x x x -", P, "left Fis/Cis"},
    {5, 0, "T x x x - x x x -", S, "only fingering"},
    {6, 0, "T x x x - x x x Ab/Eb", S, "right As/Es"},
    {6, 1, "T x x x Ab/Eb x x x -", P, "left As/Es lever"},
    {7, 0, "T x x x - x x - -", S, "only fingering"},
    {8, 0, "T x x x - x - x -", U, "fork"},
    {8, 1, "T x x x Bb/F x - - -", U, "left B/F lever"},
    {9, 0, "T x x x - x - - -", P, "right index alone"},
    {10, 0, "T x x x - - - - -", S, "only fingering"},
    {11, 0, "T x x x C#/G# - - - -", S, "left Cis/Gis"},
    {12, 0, "T x x - - - - - -", S, "only fingering"},
    {13, 0, "T x - - - sBb - - -", P, "right side Eb key"},
    {13, 1, "T x - Sl - - - - -", S, "left Es/B lever"},
    {14, 0, "T x - - - - - - -", S, "only fingering"},
    {15, 0, "T - x - - - - - -", P, "thumb + middle finger"},
    {16, 0, "T - - - - - - - -", P, "thumb alone"},
    {17, 0, "- - - - - - - - -", S, "open G"},
    {17, 1, "- - - - - x x x -", P, "right hand down"},
    {18, 0, "- G# - - - - - - -", S, "G# key"},
    {18, 1, "- G# - - - x x x -", P, "right hand down"},
    {19, 0, "- A - - - - - - -", S, "A key"},
    {19, 1, "- A - - - x x x -", P, "right hand down"},
    {20, 0, "R A - - - - - - -", P, "A key + register key"},
    {20, 1, "R A - - - x x x -", P, "right hand down"},
    {21, 0, kTwelfth, S, "left E/H"},
    {21, 1, kTwelfth, P, "left E/H + right F/C held"},
    {22, 0, kTwelfth, S, "right F/C"},
    {23, 0, kTwelfth, P, "left Fis/Cis"},
    {24, 0, kTwelfth, S, "only fingering"},
    {25, 0, kTwelfth, S, "right As/Es"},
    {25, 1, kTwelfth, P, "left As/Es lever"},
    {26, 0, kTwelfth, S, "only fingering"},
    {27, 0, kTwelfth, U, "fork"},
    {27, 1, kTwelfth, U, "left B/F lever"},
    {28, 0, kTwelfth, P, "right index alone"},
    {29, 0, kTwelfth, S, "only fingering"},
    {30, 0, kTwelfth, S, "left Cis/Gis"},
    {31, 0, kTwelfth, S, "only common fingering"},
    {32, 0, kTwelfth, P, "right side Bb key"},
    {32, 1, kTwelfth, S, "left Es/B lever"},
    {32, 2, "TR x - x - - - - -", S, "fork"},
    {33, 0, kTwelfth, S, "only common fingering"},
    {34, 0, kTwelfth, U, "thumb + register key + middle finger"},
};

using CodeTable = std::map<std::string_view, char>;

// The finger codes of the picture drawer, per finger group, from the tokens.
std::array<CodeTable, 9> codeTables(System system) {
    const CodeTable open{{"-", '0'}, {"x", '1'}};
    std::array<CodeTable, 9> t;
    t[L1] = {{"-", '0'}, {"T", '1'}, {"TR", '2'}, {"R", '3'}};
    t[L2] = {{"-", '0'}, {"x", '1'}, {"A", 'A'}, {"G#", 'G'}};
    t[L3] = open;
    t[L4] = {{"-", '0'}, {"x", '1'}, {"Sl", 'S'}};
    t[R3] = open;
    t[R4] = open;
    if (system == System::Boehm) {
        t[L5] = {{"-", '0'}, {"E/B", 'E'}, {"F/C", 'F'}, {"F#/C#", 'H'}, {"C#/G#", 'C'}, {"Ab/Eb", 'A'}};
        t[R2] = {{"-", '0'}, {"x", '1'}, {"sBb", 'S'}, {"x+sF#", 'F'}};
        t[R5] = {{"-", '0'}, {"E/B", 'E'}, {"F/C", 'F'}, {"F#/C#", 'H'}, {"Ab/Eb", 'A'}, {"lowEb", 'D'}};
    } else {
        t[L5] = {{"-", '0'}, {"E/B", 'E'}, {"F#/C#", 'H'}, {"C#/G#", 'C'}, {"Ab/Eb", 'A'}, {"Bb/F", 'B'}};
        t[R2] = {{"-", '0'}, {"x", '1'}, {"sBb", 'S'}};
        t[R5] = {{"-", '0'}, {"F/C", 'F'}, {"Ab/Eb", 'A'}};
    }
    return t;
}

std::vector<std::string> splitTokens(std::string_view tokens) {
    std::vector<std::string> out;
    std::istringstream in{std::string(tokens)};
    for (std::string token; in >> token;) out.push_back(token);
    return out;
}

std::string encode(System system, std::string_view tokens) {
    static const std::array<CodeTable, 9> boehm = codeTables(System::Boehm);
    static const std::array<CodeTable, 9> oehler = codeTables(System::Oehler);
    const auto& tables = system == System::Boehm ? boehm : oehler;
    const std::vector<std::string> cells = splitTokens(tokens);
    if (cells.size() != 9) throw std::logic_error("fingering needs nine cells: " + std::string(tokens));
    std::string line = "0|0000|0000";
    for (int f = L1; f <= R5; ++f) {
        const auto code = tables[f].find(cells[f]);
        if (code == tables[f].end())
            throw std::logic_error("no finger code for '" + cells[f] + "' in " + std::string(tokens));
        line[kCodeColumn[f]] = code->second;
    }
    return line;
}

// The same fingering with the register key added to the closed thumb hole.
std::string withRegisterKey(const std::string& tokens) {
    std::vector<std::string> cells = splitTokens(tokens);
    if (cells.at(L1) != "T") throw std::logic_error("twelfth rule needs the thumb hole closed: " + tokens);
    cells[L1] = "TR";
    std::string out;
    for (const std::string& c : cells) out += (out.empty() ? "" : " ") + c;
    return out;
}

std::vector<ChartEntry> buildEntries(System system) {
    std::vector<ChartEntry> entries;
    auto find = [&entries](int block, int variant) -> const ChartEntry* {
        for (const ChartEntry& e : entries)
            if (e.block == block && e.variant == variant) return &e;
        return nullptr;
    };
    auto add = [&](const Row& row) {
        ChartEntry e;
        e.block = row.block;
        e.variant = row.variant;
        e.confidence = row.confidence;
        e.sideKeyToCheck = row.sideKeyToCheck;
        e.label = row.label;
        if (row.tokens == kTwelfth) {
            const ChartEntry* low = find(row.block - kTwelfthSemitones, row.variant);
            if (low == nullptr) throw std::logic_error("twelfth rule without a fingering a twelfth lower");
            e.tokens = withRegisterKey(low->tokens);
            e.byTwelfthRule = true;
        } else {
            e.tokens = std::string(row.tokens);
        }
        e.line = encode(system, e.tokens);
        entries.push_back(std::move(e));
    };
    if (system == System::Boehm)
        for (const Row& r : kBoehmRows) add(r);
    else
        for (const Row& r : kOehlerRows) add(r);
    std::sort(entries.begin(), entries.end(), [](const ChartEntry& a, const ChartEntry& b) {
        return a.block != b.block ? a.block < b.block : a.variant < b.variant;
    });
    return entries;
}

}  // namespace

std::optional<System> systemFromName(std::string_view name) {
    if (name == "Boe") return System::Boehm;
    if (name == "Oeh") return System::Oehler;
    return std::nullopt;
}

std::string_view systemName(System system) { return system == System::Boehm ? "Boe" : "Oeh"; }

const std::vector<ChartEntry>& chartEntries(System system) {
    static const std::vector<ChartEntry> boehm = buildEntries(System::Boehm);
    static const std::vector<ChartEntry> oehler = buildEntries(System::Oehler);
    return system == System::Boehm ? boehm : oehler;
}

const ChartEntry* chartEntry(System system, int block, int variant) {
    for (const ChartEntry& e : chartEntries(system))
        if (e.block == block && e.variant == variant) return &e;
    return nullptr;
}

std::vector<std::string> chartLines(System system) {
    std::vector<std::string> lines(kChartLineCount, std::string(kNotPlayable));
    for (const ChartEntry& e : chartEntries(system)) lines.at(kVariantsPerBlock * e.block + e.variant) = e.line;
    return lines;
}

std::string blockName(int block) {
    static constexpr std::array<std::string_view, 12> sharp{"C",  "C#", "D",  "D#", "E",  "F",
                                                            "F#", "G",  "G#", "A",  "A#", "B"};
    static constexpr std::array<std::string_view, 12> flat{"", "Db", "", "Eb", "", "", "Gb", "", "Ab", "", "Bb", ""};
    const int midi = 50 + block;  // block 0 is D3
    const std::string octave = std::to_string(midi / 12 - 1);
    std::string name = std::string(sharp[midi % 12]) + octave;
    if (!flat[midi % 12].empty()) name += "/" + std::string(flat[midi % 12]) + octave;
    return name;
}

}  // namespace tarvel::dataset
