// The keys a fingering presses, by the names the player reads: one row for
// every finger code of the charts that presses a key (codes that only close
// or open tone holes press none). The run names the keys of the note being
// played from this table, and the legends of the diagrams use the same names.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct FingerKey {
    std::string_view system;  // Settings(1): "Boe" or "Oeh"
    int finger;               // 0 = L1 .. 8 = R5, the order of kFingerPositions
    char code;                // the finger's code in a chart line
    std::string_view name;    // "右小指 Ｅ／Ｂキー"
};

inline constexpr auto kFingerKeys = std::to_array<FingerKey>({
    // Both systems: the left thumb's register key, the throat keys of the left index.
    {"Boe", 0, '2', "左親指 レジスターキー"},
    {"Boe", 0, '3', "左親指 レジスターキー"},
    {"Boe", 1, 'A', "左人さし指 Ａキー"},
    {"Boe", 1, 'G', "左人さし指 Ｇ♯キー"},
    {"Boe", 3, 'S', "左薬指 Ｅ♭／Ｂ♭レバー"},
    {"Boe", 4, 'E', "左小指 Ｅ／Ｂレバー"},
    {"Boe", 4, 'F', "左小指 Ｆ／Ｃレバー"},
    {"Boe", 4, 'H', "左小指 Ｆ♯／Ｃ♯レバー"},
    {"Boe", 4, 'C', "左小指 Ｃ♯／Ｇ♯キー"},
    {"Boe", 4, 'A', "左小指 Ａ♭／Ｅ♭レバー"},
    {"Boe", 5, 'S', "右人さし指 サイドＥ♭／Ｂ♭キー"},
    {"Boe", 5, 'F', "右人さし指 サイドＦ♯／Ｂキー"},
    {"Boe", 8, 'E', "右小指 Ｅ／Ｂキー"},
    {"Boe", 8, 'F', "右小指 Ｆ／Ｃキー"},
    {"Boe", 8, 'H', "右小指 Ｆ♯／Ｃ♯キー"},
    {"Boe", 8, 'A', "右小指 Ａ♭／Ｅ♭キー"},
    {"Boe", 8, 'D', "右小指 低いＥ♭キー"},
    // Oehler: the German names of its keys.
    {"Oeh", 0, '2', "左親指 レジスターキー"},
    {"Oeh", 0, '3', "左親指 レジスターキー"},
    {"Oeh", 1, 'A', "左人さし指 Ａキー"},
    {"Oeh", 1, 'G', "左人さし指 Ｇｉｓキー"},
    {"Oeh", 3, 'S', "左薬指 Ｅｓ／Ｂレバー"},
    {"Oeh", 4, 'E', "左小指 Ｅ／Ｈキー"},
    {"Oeh", 4, 'H', "左小指 Ｆｉｓ／Ｃｉｓキー"},
    {"Oeh", 4, 'C', "左小指 Ｃｉｓ／Ｇｉｓキー"},
    {"Oeh", 4, 'A', "左小指 Ａｓ／Ｅｓレバー"},
    {"Oeh", 4, 'B', "左小指 Ｂ／Ｆレバー"},
    {"Oeh", 5, 'S', "右人さし指 サイドＥｓ／Ｂキー"},
    {"Oeh", 8, 'F', "右小指 Ｆ／Ｃキー"},
    {"Oeh", 8, 'A', "右小指 Ａｓ／Ｅｓキー"},
});

// The code that marks a note the system cannot play, on every finger.
inline constexpr char kUnplayableCode = 'X';

// The names of the keys `chartLine` presses on `system`, finger by finger
// from L1 to R5; nothing for a finger whose code presses no key.
std::vector<std::string_view> pressedKeyNames(std::string_view system, std::string_view chartLine);

// Whether a chart line marks its note as one the system cannot play.
bool unplayableLine(std::string_view chartLine);

// What the run writes under the large diagram: "押すキー" and the names, one a
// line; that no key is pressed; that the note cannot be played; nothing for
// an empty line.
std::string pressedKeysCaption(std::string_view system, std::string_view chartLine);

}  // namespace tarvel
