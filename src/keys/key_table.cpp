#include "keys/key_table.h"

namespace tarvel {

const std::array<KeyEntry, 29> Key_tbl{{
    {"000", "system\\hyouji\\button\\B_C000.gif"}, {"S01", "system\\hyouji\\button\\B_CS01.gif"},
    {"S02", "system\\hyouji\\button\\B_CS02.gif"}, {"S03", "system\\hyouji\\button\\B_CS03.gif"},
    {"S04", "system\\hyouji\\button\\B_CS04.gif"}, {"S05", "system\\hyouji\\button\\B_CS05.gif"},
    {"S06", "system\\hyouji\\button\\B_CS06.gif"}, {"S07", "system\\hyouji\\button\\B_CS07.gif"},
    {"F01", "system\\hyouji\\button\\B_CF01.gif"}, {"F02", "system\\hyouji\\button\\B_CF02.gif"},
    {"F03", "system\\hyouji\\button\\B_CF03.gif"}, {"F04", "system\\hyouji\\button\\B_CF04.gif"},
    {"F05", "system\\hyouji\\button\\B_CF05.gif"}, {"F06", "system\\hyouji\\button\\B_CF06.gif"},
    {"F07", "system\\hyouji\\button\\B_CF07.gif"}, {"S08", "system\\hyouji\\button\\B_CS08.gif"},
    {"S09", "system\\hyouji\\button\\B_CS09.gif"}, {"S10", "system\\hyouji\\button\\B_CS10.gif"},
    {"S11", "system\\hyouji\\button\\B_CS11.gif"}, {"S12", "system\\hyouji\\button\\B_CS12.gif"},
    {"S13", "system\\hyouji\\button\\B_CS13.gif"}, {"S14", "system\\hyouji\\button\\B_CS14.gif"},
    {"F08", "system\\hyouji\\button\\B_CF08.gif"}, {"F09", "system\\hyouji\\button\\B_CF09.gif"},
    {"F10", "system\\hyouji\\button\\B_CF10.gif"}, {"F11", "system\\hyouji\\button\\B_CF11.gif"},
    {"F12", "system\\hyouji\\button\\B_CF12.gif"}, {"F13", "system\\hyouji\\button\\B_CF13.gif"},
    {"F14", "system\\hyouji\\button\\B_CF14.gif"},
}};

std::optional<int> keyIndex(std::string_view code) {
    for (int k = 0; k < static_cast<int>(Key_tbl.size()); ++k)
        if (Key_tbl[k].code == code) return k;
    return std::nullopt;
}

}  // namespace tarvel
