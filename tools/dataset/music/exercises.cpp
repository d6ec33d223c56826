#include "exercises.h"

#include <stdexcept>

#include "variants.h"

namespace tarvel::dataset {
namespace {

constexpr int kBlockZeroMidi = 50;              // D3
constexpr int kLowestTonicMidi = 52;            // E3
constexpr int kHighestTopMidi = 84;             // C6
constexpr int kTwoOctaves = 14, kTwelfth = 11;  // in scale steps
constexpr int kBar = 4, kRow = 16;
constexpr int kTriadSteps[] = {0, 2, 4};

using Steps = std::vector<int>;

int fingeredMidi(const ScaleRange& range, Mode mode, int step) {
    return kBlockZeroMidi + range.tonicBlock + 12 * (step / 7) + degreeSemitones(mode)[step % 7];
}

void holdTonicToBarEnd(Steps& steps) {
    while (steps.size() % kBar != 0) steps.push_back(0);
}

Steps scaleSection(int top) {
    Steps s;
    for (int d = 0; d <= top; ++d) s.push_back(d);
    for (int d = top - 1; d >= 0; --d) s.push_back(d);
    holdTonicToBarEnd(s);
    return s;
}

Steps arpeggioSection(int top) {
    Steps up;
    for (int octave = 0; 7 * octave <= top; ++octave)
        for (int t : kTriadSteps)
            if (7 * octave + t <= top) up.push_back(7 * octave + t);
    Steps s = up;
    for (auto it = up.rbegin() + 1; it != up.rend(); ++it) s.push_back(*it);
    holdTonicToBarEnd(s);
    return s;
}

}  // namespace

std::optional<Pairing> pairingFromName(std::string_view name) {
    if (name == "BB") return Pairing::BB;
    if (name == "BC") return Pairing::BC;
    if (name == "BA") return Pairing::BA;
    return std::nullopt;
}

int pairingOffset(Pairing pairing) {
    switch (pairing) {
    case Pairing::BB: return 0;
    case Pairing::BC: return 2;
    case Pairing::BA: return -1;
    }
    return 0;
}

ScaleRange intermediateRange(int tonicPitchClass) {
    const int tonic = kLowestTonicMidi + ((tonicPitchClass - kLowestTonicMidi) % 12 + 12) % 12;
    return {tonic - kBlockZeroMidi, tonic + 24 <= kHighestTopMidi ? kTwoOctaves : kTwelfth};
}

Exercise buildExercise(System system, Pairing pairing, const Key& key) {
    Exercise ex;
    ex.key = key;
    ex.pairing = pairing;
    const int offset = pairingOffset(pairing);
    const int writtenTonicClass = midiNumber({key.tonicLetter, key.tonicAccidental, 0}) % 12;
    ex.range = intermediateRange(writtenTonicClass + offset);

    // Scale up and down, then the arpeggio, each ending on the held tonic; the
    // arpeggio is played again until the exercise fills whole rows.
    std::vector<Steps> sections{scaleSection(ex.range.steps)};
    const Steps arpeggio = arpeggioSection(ex.range.steps);
    std::size_t total = sections[0].size();
    const auto wholeRows = [](std::size_t n) { return (n + kRow - 1) / kRow * kRow; };
    do {
        sections.push_back(arpeggio);
        total += arpeggio.size();
    } while (total % kRow != 0 && total + arpeggio.size() <= wholeRows(total));
    if (total % kRow != 0) sections.push_back(Steps(wholeRows(total) - total, 0));
    ex.scaleNotes = static_cast<int>(sections[0].size());

    const int writtenTonicMidi = kBlockZeroMidi + ex.range.tonicBlock - offset;
    const int tonicOctave = (writtenTonicMidi - midiNumber({key.tonicLetter, key.tonicAccidental, 0})) / 12;
    // The variants are chosen over the whole exercise at once: the tonic held
    // at the end of the scale is also the arpeggio's first note, so it takes
    // one fingering that suits the notes on both sides of it, and the hand
    // never changes on a repeated note.
    Steps steps;
    for (const Steps& section : sections) steps.insert(steps.end(), section.begin(), section.end());
    std::vector<int> blocks;
    for (int step : steps) blocks.push_back(fingeredMidi(ex.range, key.mode, step) - kBlockZeroMidi);
    const std::vector<int> variants = chooseVariants(system, blocks);
    for (std::size_t n = 0; n < steps.size(); ++n) {
        const int step = steps[n];
        SpelledPitch w{(key.tonicLetter + step) % 7, 0, tonicOctave + (key.tonicLetter + step) / 7};
        w.accidental = blocks[n] + kBlockZeroMidi - offset - midiNumber(w);
        if (w.accidental != scaleAccidental(key, w.letter)) throw std::logic_error("note outside the key's scale");
        ex.notes.push_back({w, step, blocks[n], variants[n]});
    }
    return ex;
}

std::vector<std::string> exerciseLines(const Exercise& exercise) {
    static constexpr std::string_view letters = "cdefgab";
    static constexpr std::string_view accidentals = "fbn#x";  // double flat .. double sharp
    const int s = exercise.key.signature;
    std::vector<std::string> lines{(s >= 0 ? "#" : "b") + std::to_string(s >= 0 ? s : -s)};
    for (const ExerciseNote& n : exercise.notes) {
        const int octaveDigit = n.written.octave - 2;  // 1 is written C3 .. B3
        if (octaveDigit < 1 || octaveDigit > 9) throw std::logic_error("written note outside octave digits 1 to 9");
        lines.push_back({static_cast<char>('0' + octaveDigit), letters[n.written.letter],
                         accidentals[n.written.accidental + 2], static_cast<char>('0' + n.variant)});
    }
    lines.emplace_back();
    return lines;
}

}  // namespace tarvel::dataset
