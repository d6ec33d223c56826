// What the keys are called: the Japanese name of each of the 29 keys, in the
// order of the key table. The key buttons' pictures and the progress page say them.
#pragma once

#include <array>
#include <string_view>

namespace tarvel {

struct KeyName {
    std::string_view code;
    std::string_view japanese;  // "ハ長調"
    bool minor;
};

// Row 1: C major and the major keys with 1 to 7 sharps; row 2: the major keys
// with 1 to 7 flats; rows 3 and 4: the minor keys with 1 to 7 sharps and flats.
inline constexpr std::array<KeyName, 29> kKeyNames{{
    {"000", "ハ長調", false},   {"S01", "ト長調", false},   {"S02", "ニ長調", false},   {"S03", "イ長調", false},
    {"S04", "ホ長調", false},   {"S05", "ロ長調", false},   {"S06", "嬰ヘ長調", false}, {"S07", "嬰ハ長調", false},
    {"F01", "ヘ長調", false},   {"F02", "変ロ長調", false}, {"F03", "変ホ長調", false}, {"F04", "変イ長調", false},
    {"F05", "変ニ長調", false}, {"F06", "変ト長調", false}, {"F07", "変ハ長調", false}, {"S08", "ホ短調", true},
    {"S09", "ロ短調", true},    {"S10", "嬰ヘ短調", true},  {"S11", "嬰ハ短調", true},  {"S12", "嬰ト短調", true},
    {"S13", "嬰ニ短調", true},  {"S14", "嬰イ短調", true},  {"F08", "ニ短調", true},    {"F09", "ト短調", true},
    {"F10", "ハ短調", true},    {"F11", "ヘ短調", true},    {"F12", "変ロ短調", true},  {"F13", "変ホ短調", true},
    {"F14", "変イ短調", true},
}};

}  // namespace tarvel
