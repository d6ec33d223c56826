#include "tables.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "chart.h"
#include "exercises.h"
#include "keys.h"

namespace tarvel::dataset {
namespace {

std::string_view mark(Confidence c) {
    switch (c) {
    case Confidence::Sure: return "✓";
    case Confidence::Likely: return "◐";
    case Confidence::Uncertain: return "⚠";
    }
    return "";
}

std::string range(const Exercise& ex) {
    auto byPitch = [](const ExerciseNote& a, const ExerciseNote& b) { return a.block < b.block; };
    const auto [low, high] = std::minmax_element(ex.notes.begin(), ex.notes.end(), byPitch);
    return pitchName(low->written) + "–" + pitchName(high->written);
}

// The key whose B-flat part is fingered like this exercise, by name.
std::string fingeredKey(const Exercise& ex) {
    const int pitchClass = (ex.range.tonicBlock + 2) % 12;  // block 0 is D
    const Key* simplest = nullptr;
    for (const Key& k : keys()) {
        const bool same = k.mode == ex.key.mode && midiNumber({k.tonicLetter, k.tonicAccidental, 0}) % 12 == pitchClass;
        if (same && (simplest == nullptr || std::abs(k.signature) < std::abs(simplest->signature))) simplest = &k;
    }
    if (simplest != nullptr) return keyName(*simplest);
    std::string name = blockName(ex.range.tonicBlock);  // no key of the drill: named by its pitch
    return name.substr(0, name.find_first_of("0123456789")) + (ex.key.mode == Mode::Major ? " major" : " minor");
}

void keyTable(std::ostream& out) {
    out << "| Code | Written key | Key line | BB written range | BC written range (fingered key) "
           "| BA written range (fingered key) |\n|---|---|---|---|---|---|\n";
    for (const Key& k : keys()) {
        const Exercise bb = buildExercise(System::Boehm, Pairing::BB, k);
        out << "| " << k.code << " | " << keyName(k) << " | " << exerciseLines(bb).front() << " | " << range(bb);
        for (Pairing p : {Pairing::BC, Pairing::BA}) {
            const Exercise ex = buildExercise(System::Boehm, p, k);
            out << " | " << range(ex) << " (" << fingeredKey(ex) << ")";
        }
        out << " |\n";
    }
}

// Markdown tables need the separators of a chart line escaped.
std::string escapedLine(const std::string& line) {
    std::string out;
    for (char c : line) out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

void chartTable(std::ostream& out, System system) {
    out << "| Block | Written | v | Line | Fingering | Name | Mark |\n|---|---|---|---|---|---|---|\n";
    for (const ChartEntry& e : chartEntries(system)) {
        out << "| " << e.block << " | " << blockName(e.block) << " | " << e.variant << " | `" << escapedLine(e.line)
            << "` | " << e.tokens << " | " << e.label << (e.byTwelfthRule ? " (twelfth rule)" : "") << " | "
            << mark(e.confidence) << (e.sideKeyToCheck ? " side key ⚠" : "") << " |\n";
    }
}

void toBeConfirmed(std::ostream& out) {
    out << "| System | Block | Written | Variant | Fingering | Why |\n|---|---|---|---|---|---|\n";
    for (System s : {System::Boehm, System::Oehler})
        for (const ChartEntry& e : chartEntries(s)) {
            if (e.confidence != Confidence::Uncertain && !e.sideKeyToCheck) continue;
            out << "| " << systemName(s) << " | " << e.block << " | " << blockName(e.block) << " | " << e.variant
                << " | " << e.tokens << " | "
                << (e.confidence == Confidence::Uncertain ? "marked ⚠ in the reference"
                                                          : "which side key (WFG 3 or 4) is the F#/B key")
                << " |\n";
        }
}

void likely(std::ostream& out) {
    for (System s : {System::Boehm, System::Oehler}) {
        out << "- " << (s == System::Boehm ? "Boehm" : "Oehler") << ":";
        std::string sep = " ";
        for (const ChartEntry& e : chartEntries(s))
            if (e.confidence == Confidence::Likely) {
                out << sep << blockName(e.block) << " v" << e.variant << " (" << e.label << ")";
                sep = ", ";
            }
        out << "\n";
    }
}

void chosenVariants(std::ostream& out, System system) {
    out << "| Code | Key | Scale (up and down) | Arpeggio |\n|---|---|---|---|\n";
    for (const Key& k : keys()) {
        const Exercise ex = buildExercise(system, Pairing::BB, k);
        std::string scale, arpeggio;
        std::set<std::string> named;
        for (std::size_t i = 0; i < ex.notes.size(); ++i) {
            const ExerciseNote& n = ex.notes[i];
            const bool arp = static_cast<int>(i) >= ex.scaleNotes;
            const ChartEntry* e = chartEntry(system, n.block, n.variant);
            const bool uncertain = e->confidence == Confidence::Uncertain;
            const bool worthNaming = n.variant != 0 || e->line[5] != '0' || e->line[10] != '0' || uncertain;
            std::string& list = arp ? arpeggio : scale;
            const std::string item = pitchName(n.written) + " v" + std::to_string(n.variant) + " " +
                                     std::string(e->label) + (uncertain ? " ⚠" : "");
            if (worthNaming && named.insert((arp ? "a " : "s ") + item).second)
                list += (list.empty() ? "" : "; ") + item;
        }
        out << "| " << k.code << " | " << keyName(k) << " | " << scale << " | " << arpeggio << " |\n";
    }
}

// Every uncertain chart line that an exercise uses, with the files that use it.
void restingOnUncertainRows(std::ostream& out) {
    out << "| System | Line | Written | Fingering | Exercises that use it |\n|---|---|---|---|---|\n";
    for (System s : {System::Boehm, System::Oehler})
        for (const ChartEntry& e : chartEntries(s)) {
            if (e.confidence != Confidence::Uncertain && !e.sideKeyToCheck) continue;
            std::string users;
            for (Pairing p : {Pairing::BB, Pairing::BC, Pairing::BA}) {
                std::string codes;
                for (const Key& k : keys()) {
                    const Exercise ex = buildExercise(s, p, k);
                    const bool uses = std::any_of(ex.notes.begin(), ex.notes.end(), [&](const ExerciseNote& n) {
                        return n.block == e.block && n.variant == e.variant;
                    });
                    if (uses) codes += (codes.empty() ? "" : " ") + std::string(k.code);
                }
                if (!codes.empty())
                    users += (users.empty() ? "" : "; ") +
                             std::string(p == Pairing::BB   ? "BB "
                                         : p == Pairing::BC ? "BC "
                                                            : "BA ") +
                             codes;
            }
            if (users.empty()) continue;
            out << "| " << systemName(s) << " | " << 10 * e.block + e.variant << " | " << blockName(e.block) << " v"
                << e.variant << " | " << e.tokens << " (" << e.label << ") | " << users << " |\n";
        }
}

}  // namespace

std::string readmeTables() {
    std::ostringstream out;
    out << "### Keys and ranges\n\n";
    keyTable(out);
    out << "\n### Boehm chart (boe.txt)\n\n";
    chartTable(out, System::Boehm);
    out << "\n### Oehler chart (oeh.txt)\n\n";
    chartTable(out, System::Oehler);
    out << "\n### Variants chosen in the B-flat parts, Boehm\n\n"
           "Notes with a little finger, a variant other than 0 or a fingering marked ⚠; the BC and BA parts of "
           "the same fingered key use the same variants.\n\n";
    chosenVariants(out, System::Boehm);
    out << "\n### Variants chosen in the B-flat parts, Oehler\n\n";
    chosenVariants(out, System::Oehler);
    out << "\n## To be confirmed by a player\n\n"
           "Lines the exercises use or the chart holds whose fingering the reference could not confirm. "
           "They are in the chart; nobody should take them as checked.\n\n";
    toBeConfirmed(out);
    out << "\n### What the exercises still rest on ⚠ rows\n\n"
           "Where a ✓ or ◐ fingering does what the rules ask, the exercises take it. These lines, ⚠ in the "
           "reference or with a side key whose place is ⚠, have no such alternative where they are used: the "
           "Oehler forked B♭3 and F5 have only the ⚠ B/F lever beside them (the rules keep it for chromatic "
           "runs), the Oehler C6 has nothing else, and the Boehm side F♯/B key is what the rules ask next to "
           "B♭3 and F5 (the fork would make the index go up and down). Chart line 10 × block + variant; "
           "exercises by pairing and key code.\n\n";
    restingOnUncertainRows(out);
    out << "\n### Likely but unconfirmed (◐)\n\n";
    likely(out);
    return out.str();
}

}  // namespace tarvel::dataset
