#include "keys.h"

#include "keys/key_table.h"

namespace tarvel::dataset {
namespace {

constexpr std::array<int, 7> kNaturalSemitone{0, 2, 4, 5, 7, 9, 11};
constexpr std::string_view kLetterNames = "CDEFGAB";
constexpr int kFifthInLetters = 4;
constexpr int kRelativeMinorInLetters = 5;  // a sixth up = a third down

int mod7(int n) { return ((n % 7) + 7) % 7; }

// Position of a letter in the order in which sharps enter a signature (f c g d a e b).
int sharpOrder(int letter) { return mod7((letter - 3) * 2); }

Key makeKey(std::string_view code, Mode mode, int signature) {
    Key key{code, mode, signature, 0, 0};
    // C major moved by one fifth per sharp (down one per flat); the minor
    // key of the same signature lies a minor third lower.
    key.tonicLetter = mod7(kFifthInLetters * signature + (mode == Mode::Major ? 0 : kRelativeMinorInLetters));
    key.tonicAccidental = scaleAccidental(Key{code, Mode::Major, signature, 0, 0}, key.tonicLetter);
    return key;
}

// A code's number counts the signature's sharps (S) or flats (F); the minor
// keys' numbers go on from 8.
std::array<Key, kKeys> buildKeys() {
    std::array<Key, kKeys> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::string_view c = tarvel::Key_tbl[i].code;
        const int number = (c[1] - '0') * 10 + (c[2] - '0');
        const Mode mode = tarvel::Key_tbl[i].minor ? Mode::HarmonicMinor : Mode::Major;
        const int count = tarvel::Key_tbl[i].minor ? number - 7 : number;
        out[i] = makeKey(c, mode, c[0] == 'F' ? -count : count);
    }
    return out;
}

}  // namespace

int midiNumber(const SpelledPitch& p) { return 12 * (p.octave + 1) + kNaturalSemitone.at(p.letter) + p.accidental; }

const std::array<Key, kKeys>& keys() {
    static const std::array<Key, kKeys> table = buildKeys();
    return table;
}

std::optional<Key> keyFromCode(std::string_view code) {
    for (const Key& k : keys())
        if (k.code == code) return k;
    return std::nullopt;
}

int scaleAccidental(const Key& key, int letter) {
    int acc = 0;
    if (key.signature > 0 && sharpOrder(letter) < key.signature) acc = 1;
    if (key.signature < 0 && 6 - sharpOrder(letter) < -key.signature) acc = -1;
    if (key.mode == Mode::HarmonicMinor && letter == mod7(key.tonicLetter - 1)) acc += 1;
    return acc;
}

const std::array<int, 7>& degreeSemitones(Mode mode) {
    static constexpr std::array<int, 7> major{0, 2, 4, 5, 7, 9, 11};
    static constexpr std::array<int, 7> harmonicMinor{0, 2, 3, 5, 7, 8, 11};
    return mode == Mode::Major ? major : harmonicMinor;
}

std::string pitchName(const SpelledPitch& p) {
    static constexpr std::array<std::string_view, 5> signs{"bb", "b", "", "#", "##"};
    return std::string(1, kLetterNames[p.letter]) + std::string(signs.at(p.accidental + 2)) + std::to_string(p.octave);
}

std::string keyName(const Key& key) {
    std::string name = pitchName({key.tonicLetter, key.tonicAccidental, 0});
    name.pop_back();  // the octave
    return name + (key.mode == Mode::Major ? " major" : " minor");
}

}  // namespace tarvel::dataset
