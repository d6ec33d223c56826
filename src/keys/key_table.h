// The keys of the key page, in the order of their buttons P3_Btn0 .. P3_Btn28:
// everything a key is, written once. Every lookup by code reads this table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarvel {

struct KeyEntry {
    std::string_view code;           // names the exercise file and the result folder
    std::string_view buttonPicture;  // data path of the button's picture
    std::string_view japanese;       // what the player reads: "ハ長調"
    bool minor;
};

// Row 1: C major and the major keys with 1 to 7 sharps; row 2: the major keys
// with 1 to 7 flats; rows 3 and 4: the minor keys with 1 to 7 sharps and flats.
inline constexpr auto Key_tbl = std::to_array<KeyEntry>({
    {"000", "system\\hyouji\\button\\B_C000.gif", "ハ長調", false},
    {"S01", "system\\hyouji\\button\\B_CS01.gif", "ト長調", false},
    {"S02", "system\\hyouji\\button\\B_CS02.gif", "ニ長調", false},
    {"S03", "system\\hyouji\\button\\B_CS03.gif", "イ長調", false},
    {"S04", "system\\hyouji\\button\\B_CS04.gif", "ホ長調", false},
    {"S05", "system\\hyouji\\button\\B_CS05.gif", "ロ長調", false},
    {"S06", "system\\hyouji\\button\\B_CS06.gif", "嬰ヘ長調", false},
    {"S07", "system\\hyouji\\button\\B_CS07.gif", "嬰ハ長調", false},
    {"F01", "system\\hyouji\\button\\B_CF01.gif", "ヘ長調", false},
    {"F02", "system\\hyouji\\button\\B_CF02.gif", "変ロ長調", false},
    {"F03", "system\\hyouji\\button\\B_CF03.gif", "変ホ長調", false},
    {"F04", "system\\hyouji\\button\\B_CF04.gif", "変イ長調", false},
    {"F05", "system\\hyouji\\button\\B_CF05.gif", "変ニ長調", false},
    {"F06", "system\\hyouji\\button\\B_CF06.gif", "変ト長調", false},
    {"F07", "system\\hyouji\\button\\B_CF07.gif", "変ハ長調", false},
    {"S08", "system\\hyouji\\button\\B_CS08.gif", "ホ短調", true},
    {"S09", "system\\hyouji\\button\\B_CS09.gif", "ロ短調", true},
    {"S10", "system\\hyouji\\button\\B_CS10.gif", "嬰ヘ短調", true},
    {"S11", "system\\hyouji\\button\\B_CS11.gif", "嬰ハ短調", true},
    {"S12", "system\\hyouji\\button\\B_CS12.gif", "嬰ト短調", true},
    {"S13", "system\\hyouji\\button\\B_CS13.gif", "嬰ニ短調", true},
    {"S14", "system\\hyouji\\button\\B_CS14.gif", "嬰イ短調", true},
    {"F08", "system\\hyouji\\button\\B_CF08.gif", "ニ短調", true},
    {"F09", "system\\hyouji\\button\\B_CF09.gif", "ト短調", true},
    {"F10", "system\\hyouji\\button\\B_CF10.gif", "ハ短調", true},
    {"F11", "system\\hyouji\\button\\B_CF11.gif", "ヘ短調", true},
    {"F12", "system\\hyouji\\button\\B_CF12.gif", "変ロ短調", true},
    {"F13", "system\\hyouji\\button\\B_CF13.gif", "変ホ短調", true},
    {"F14", "system\\hyouji\\button\\B_CF14.gif", "変イ短調", true},
});

inline constexpr int kKeyCount = static_cast<int>(Key_tbl.size());

// Index in Key_tbl of a key code, nullopt for a code no key has.
std::optional<int> keyIndex(std::string_view code);

// What the player reads for a key code: its Japanese name, or, for a code no
// key has (a record written by hand, say), the code itself.
std::string keyName(std::string_view code);

}  // namespace tarvel
