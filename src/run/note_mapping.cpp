#include "run/note_mapping.h"

#include <charconv>
#include <cmath>

#include "app/choices.h"

namespace tarvel {
namespace {

struct Letter {
    int index;     // in the order in which sharps enter a key signature: f c g d a e b
    int semitone;  // above c
};

Letter letterOf(char c) {
    switch (c) {
    case 'c': return {1, 0};
    case 'd': return {3, 2};
    case 'e': return {5, 4};
    case 'f': return {0, 5};
    case 'g': return {2, 7};
    case 'a': return {4, 9};
    default: return {6, 11};  // "b", and every other character
    }
}

struct Accidental {
    int code;   // 0 double flat .. 4 double sharp
    int shift;  // semitones
};

Accidental accidentalOf(char c) {
    switch (c) {
    case 'f': return {0, -2};
    case 'b': return {1, -1};
    case 'n': return {2, 0};
    case '#': return {3, 1};
    default: return {4, 2};
    }
}

int digitValue(char c) { return c - '0'; }

}  // namespace

std::int16_t beatLength(std::string_view tempo) {
    int t = 0;
    std::from_chars(tempo.data(), tempo.data() + tempo.size(), t);
    if (t <= 0) return 0;
    return static_cast<std::int16_t>(std::nearbyint(60.0 / t * 1000.0));
}

KeySignature keySignature(char sign, int count, bool showKeyInNotes) {
    KeySignature table{};
    const int s = sign == '#' ? count : -count;
    for (int k = 0; k <= 6; ++k) {
        const int dividend = s + 20 - k;
        const int floorQuotient = dividend >= 0 ? dividend / 7 : -((-dividend + 6) / 7);
        table[k] = static_cast<std::int16_t>(showKeyInNotes ? 2 : floorQuotient);
    }
    return table;
}

std::int16_t pairingOffset(std::string_view pairing) {
    for (const PairingChoice& p : kPairingChoices)
        if (p.setting == pairing) return p.offset;
    return 0;
}

std::optional<std::int16_t> chartLineOfWritten(std::int16_t written, int variant, std::int16_t offset) {
    constexpr int kSemitoneOfIndex[7] = {5, 0, 7, 2, 9, 4, 11};  // f c g d a e b
    const int octave = written / 100, index = written / 10 % 10, code = written % 10;
    if (written < 0 || index > 6 || code > 4 || variant < 0 || variant > 9) return std::nullopt;
    const int chartLine = 120 * octave + 10 * kSemitoneOfIndex[index] + 10 * (code - 2) + variant - 140 + 10 * offset;
    if (chartLine < 0 || chartLine >= kChartLines) return std::nullopt;
    return static_cast<std::int16_t>(chartLine);
}

std::variant<MappedNotes, ExerciseError> mapNotes(const ExerciseFile& file, std::int16_t offset,
                                                  const KeySignature& Choshi_tbl) {
    MappedNotes m;
    const std::size_t n = file.notes.size();
    m.Unshi_no.reserve(n);
    m.Onp_code.reserve(n);
    m.Onp_pic.reserve(n);
    for (const NoteLine& note : file.notes) {
        const int octave = digitValue(note.octave);
        const Letter letter = letterOf(note.letter);
        const Accidental acc = accidentalOf(note.accidental);
        const int chartLine =
            120 * octave + 10 * letter.semitone + 10 * acc.shift + digitValue(note.variant) - 140 + 10 * offset;
        if (chartLine < 0 || chartLine >= kChartLines) {
            const std::string text{note.octave, note.letter, note.accidental, note.variant};
            return ExerciseError{ExerciseProblem::ChartLineOutOfRange, note.line, text};
        }
        const int code = 100 * octave + 10 * letter.index + acc.code;
        const bool keyGivesSign = acc.code == Choshi_tbl[letter.index];
        m.Unshi_no.push_back(static_cast<std::int16_t>(chartLine));
        m.Onp_code.push_back(static_cast<std::int16_t>(code));
        m.Onp_pic.push_back(static_cast<std::int16_t>(keyGivesSign ? code - acc.code + 5 : code));
    }
    applySignsWithinBars(m.Onp_pic, Choshi_tbl);
    return m;
}

void applySignsWithinBars(std::vector<std::int16_t>& Onp_pic, const KeySignature& Choshi_tbl) {
    const int count = static_cast<int>(Onp_pic.size());
    for (int i = count - 1; i >= 1; --i) {
        const int barPosition = 3 - ((count - 1 - i) % 4);
        if (barPosition == 0) continue;
        const int staffPlace = Onp_pic[i] / 10;  // octave digit and letter index
        for (int j = i - 1; j >= i - barPosition && j >= 0; --j) {
            if (Onp_pic[j] / 10 != staffPlace) continue;
            const int sign = Onp_pic[i] % 10;
            if (Onp_pic[i] == Onp_pic[j])
                Onp_pic[i] = static_cast<std::int16_t>(staffPlace * 10 + 5);
            else if (sign == 5)
                Onp_pic[i] = static_cast<std::int16_t>(staffPlace * 10 + Choshi_tbl[staffPlace % 10]);
            break;
        }
    }
}

std::variant<LoadedExercise, ExerciseError> readExercise(const std::vector<std::string>& lines,
                                                         std::string_view pairing, bool showKeyInNotes) {
    ExerciseParse parsed = parseExerciseFile(lines);
    if (auto* error = std::get_if<ExerciseError>(&parsed)) return *error;
    const ExerciseFile& file = std::get<ExerciseFile>(parsed);
    if (const auto error = checkRowCount(file)) return *error;
    LoadedExercise loaded;
    loaded.Choshi_tbl = keySignature(file.sign, file.count, showKeyInNotes);
    auto mapped = mapNotes(file, pairingOffset(pairing), loaded.Choshi_tbl);
    if (auto* error = std::get_if<ExerciseError>(&mapped)) return *error;
    loaded.notes = std::move(std::get<MappedNotes>(mapped));
    return loaded;
}

}  // namespace tarvel
