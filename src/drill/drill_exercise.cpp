#include "drill/drill_exercise.h"

#include <algorithm>

#include "run/note_mapping.h"

namespace tarvel {
namespace {

// Letter indices in the written code run f c g d a e b; on the staff c d e f g a b.
constexpr char kLetterChar[7] = {'f', 'c', 'g', 'd', 'a', 'e', 'b'};
constexpr int kStaffPlace[7] = {3, 0, 4, 1, 5, 2, 6};
constexpr int kLetterAtPlace[7] = {1, 3, 5, 0, 2, 4, 6};
constexpr char kAccidentalChar[5] = {'f', 'b', 'n', '#', 'x'};
constexpr int kRow = 16;

int keyCount(std::string_view keyCode) {
    if (keyCode.size() != 3 || keyCode == "000") return 0;
    const int number = (keyCode[1] - '0') * 10 + (keyCode[2] - '0');
    return number > 7 ? number - 7 : number;
}

char keySign(std::string_view keyCode) { return keyCode.size() == 3 && keyCode[0] == 'F' ? 'b' : '#'; }

}  // namespace

std::string keyLineOf(std::string_view keyCode) { return keySign(keyCode) + std::to_string(keyCount(keyCode)); }

std::int16_t stepInKey(std::int16_t written, int step, std::string_view keyCode) {
    int octave = written / 100;
    const int letter = written / 10 % 10;
    int place = kStaffPlace[letter] + step;
    if (place < 0) {
        place += 7;
        --octave;
    } else if (place > 6) {
        place -= 7;
        ++octave;
    }
    const int next = kLetterAtPlace[place];
    const KeySignature signature = keySignature(keySign(keyCode), keyCount(keyCode), false);
    return static_cast<std::int16_t>(100 * octave + 10 * next + signature[static_cast<std::size_t>(next)]);
}

std::string noteLine(std::int16_t written, int variant) {
    const int letter = written / 10 % 10, sign = written % 10;
    return std::string{static_cast<char>('0' + written / 100), kLetterChar[letter], kAccidentalChar[sign],
                       static_cast<char>('0' + std::clamp(variant, 0, 9))};
}

std::vector<std::string> drillExercise(const std::vector<DrillNote>& targets, std::string_view keyCode,
                                       const std::function<bool(std::int16_t written)>& playable) {
    std::vector<std::string> cycle;
    for (const DrillNote& t : targets) {
        const std::int16_t below = stepInKey(t.written, -1, keyCode);
        const std::int16_t above = stepInKey(t.written, +1, keyCode);
        const bool belowOk = below / 100 >= 1 && playable(below), aboveOk = above / 100 <= 9 && playable(above);
        const std::string note = noteLine(t.written, t.variant);
        const std::string low = noteLine(belowOk ? below : aboveOk ? above : t.written, 0);
        const std::string high = noteLine(aboveOk ? above : belowOk ? below : t.written, 0);
        cycle.insert(cycle.end(), {low, note, high, note});
    }
    std::vector<std::string> lines{keyLineOf(keyCode)};
    if (cycle.empty()) return lines;
    const int wanted = static_cast<int>(cycle.size() + kRow - 1) / kRow * kRow;
    const int count = std::clamp(wanted, kDrillFewestNotes, kDrillMostNotes);
    for (int n = 0; n < count; ++n) lines.push_back(cycle[static_cast<std::size_t>(n) % cycle.size()]);
    lines.emplace_back();
    return lines;
}

}  // namespace tarvel
