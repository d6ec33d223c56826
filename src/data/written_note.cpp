#include "data/written_note.h"

#include <array>
#include <string_view>

namespace tarvel {
namespace {

// Letter index f c g d a e b, as in the written note codes.
constexpr std::array<std::string_view, 7> kSolfege{"ファ", "ド", "ソ", "レ", "ラ", "ミ", "シ"};
constexpr std::array<std::string_view, 5> kSigns{"♭♭", "♭", "", "♯", "♯♯"};

constexpr int kThroatG4 = 67;
constexpr int kClarionB4 = 71;
constexpr int kAltissimoCSharp6 = 85;

}  // namespace

std::string writtenNoteName(std::int16_t code) {
    const int octaveDigit = code / 100;
    const int letter = code / 10 % 10;
    const int sign = code % 10;
    if (code < 0 || letter > 6 || sign > 4) return "?";
    return std::string(kSolfege[letter]) + std::string(kSigns[sign]) + std::to_string(octaveDigit + 2);
}

Register registerOf(int clarinetWrittenMidi) {
    if (clarinetWrittenMidi < kThroatG4) return Register::Chalumeau;
    if (clarinetWrittenMidi < kClarionB4) return Register::Throat;
    if (clarinetWrittenMidi < kAltissimoCSharp6) return Register::Clarion;
    return Register::Altissimo;
}

const char* registerName(Register r) {
    switch (r) {
    case Register::Chalumeau: return "シャリュモー";
    case Register::Throat: return "喉音";
    case Register::Clarion: return "クラリオン";
    case Register::Altissimo: return "アルティッシモ";
    }
    return "";
}

}  // namespace tarvel
