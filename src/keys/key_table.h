// The 29 keys of the key page, in the order of their buttons P3_Btn0 .. P3_Btn28.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarvel {

struct KeyEntry {
    std::string_view code;           // names the exercise file and the result folder
    std::string_view buttonPicture;  // data path of the button's picture
};

extern const std::array<KeyEntry, 29> Key_tbl;

// Index in Key_tbl of a key code, nullopt for a code no key has.
std::optional<int> keyIndex(std::string_view code);

}  // namespace tarvel
