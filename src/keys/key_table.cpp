#include "keys/key_table.h"

namespace tarvel {

const std::array<KeyEntry, 29> Key_tbl{{
    {"000", "ハ長調", "system\\hyouji\\button\\B_C000.gif"},
    {"S01", "ト長調", "system\\hyouji\\button\\B_CS01.gif"},
    {"S02", "ニ長調", "system\\hyouji\\button\\B_CS02.gif"},
    {"S03", "イ長調", "system\\hyouji\\button\\B_CS03.gif"},
    {"S04", "ホ長調", "system\\hyouji\\button\\B_CS04.gif"},
    {"S05", "ロ長調", "system\\hyouji\\button\\B_CS05.gif"},
    {"S06", "嬰ヘ長調", "system\\hyouji\\button\\B_CS06.gif"},
    {"S07", "嬰ハ長調", "system\\hyouji\\button\\B_CS07.gif"},
    {"F01", "ヘ長調", "system\\hyouji\\button\\B_CF01.gif"},
    {"F02", "変ロ長調", "system\\hyouji\\button\\B_CF02.gif"},
    {"F03", "変ホ長調", "system\\hyouji\\button\\B_CF03.gif"},
    {"F04", "変イ長調", "system\\hyouji\\button\\B_CF04.gif"},
    {"F05", "変ニ長調", "system\\hyouji\\button\\B_CF05.gif"},
    {"F06", "変ト長調", "system\\hyouji\\button\\B_CF06.gif"},
    {"F07", "変ハ長調", "system\\hyouji\\button\\B_CF07.gif"},
    {"S08", "ホ短調", "system\\hyouji\\button\\B_CS08.gif"},
    {"S09", "ロ短調", "system\\hyouji\\button\\B_CS09.gif"},
    {"S10", "嬰ヘ短調", "system\\hyouji\\button\\B_CS10.gif"},
    {"S11", "嬰ハ短調", "system\\hyouji\\button\\B_CS11.gif"},
    {"S12", "嬰ト短調", "system\\hyouji\\button\\B_CS12.gif"},
    {"S13", "嬰ニ短調", "system\\hyouji\\button\\B_CS13.gif"},
    {"S14", "嬰イ短調", "system\\hyouji\\button\\B_CS14.gif"},
    {"F08", "ニ短調", "system\\hyouji\\button\\B_CF08.gif"},
    {"F09", "ト短調", "system\\hyouji\\button\\B_CF09.gif"},
    {"F10", "ハ短調", "system\\hyouji\\button\\B_CF10.gif"},
    {"F11", "ヘ短調", "system\\hyouji\\button\\B_CF11.gif"},
    {"F12", "変ロ短調", "system\\hyouji\\button\\B_CF12.gif"},
    {"F13", "変ホ短調", "system\\hyouji\\button\\B_CF13.gif"},
    {"F14", "変イ短調", "system\\hyouji\\button\\B_CF14.gif"},
}};

std::optional<int> keyIndex(std::string_view code) {
    for (int k = 0; k < static_cast<int>(Key_tbl.size()); ++k)
        if (Key_tbl[k].code == code) return k;
    return std::nullopt;
}

}  // namespace tarvel
