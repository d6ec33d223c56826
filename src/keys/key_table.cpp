#include "keys/key_table.h"

namespace tarvel {

std::optional<int> keyIndex(std::string_view code) {
    for (int k = 0; k < kKeyCount; ++k)
        if (Key_tbl[static_cast<std::size_t>(k)].code == code) return k;
    return std::nullopt;
}

std::string keyName(std::string_view code) {
    const auto k = keyIndex(code);
    return std::string(k ? Key_tbl[static_cast<std::size_t>(*k)].japanese : code);
}

}  // namespace tarvel
