#include "key_signatures.h"

namespace tarvel::dataset {

KeySignature keySignatureOfKey(std::string_view code) {
    if (code.size() != 3) return keySignature('#', 0, false);
    const int number = (code[1] - '0') * 10 + (code[2] - '0');
    const int count = number > 7 ? number - 7 : number;
    return keySignature(code[0] == 'F' ? 'b' : '#', count, false);
}

}  // namespace tarvel::dataset
