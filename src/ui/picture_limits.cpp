#include "ui/picture_limits.h"

#include <fstream>

namespace tarvel {

SizeLimit pictureLimit(ElementId id) {
    if (id == el::title_img) return {537, 241};  // inside the white message label
    if (id >= el::P3_Btn(0) && id <= el::P3_Btn(el::keyCount - 1)) return {118, 76};
    if (id >= el::P4_Btn(1) && id <= el::P4_Btn(9)) return {150, 66};
    if (id >= el::P5_Btn(1) && id <= el::P6_Btn(3)) return {230, 66};
    if (id == el::P3_BtnA || id == el::P3_BtnB || id == el::P4_BtnA || id == el::P7_BtnA) return {150, 44};
    if (id == el::P3_BtnC) return {90, 90};  // left of the back buttons, above the keys
    if (id == el::P7_BtnB || id == el::About_BtnB) return {230, 66};
    if (id == el::About_BtnA) return {150, 44};
    if (id == el::About_Btn) return {48, 48};  // in page 1's top right corner
    if (id == el::Cancel_img) return {25, 25, true};
    if (id == el::Gosen_img1 || id == el::Gosen_img2) return {960, 200, true};  // to the right edge, above the fingers
    if (id == el::Choshi(0) || id == el::Choshi(1)) return {152, 200};          // left of the first note column
    if (id >= el::onp_img(0) && id < el::Uns_img(0)) return {52, 200};          // one column, above the fingers
    if (id >= el::Uns_img(0) && id < el::Uns_img(el::fingerSlotCount)) return {50, 150};
    return {200, 44};  // pages 1 and 2, 48 px apart
}

std::optional<PictureSize> gifScreenSize(std::string_view header) {
    if (header.size() < 10 || (header.substr(0, 6) != "GIF87a" && header.substr(0, 6) != "GIF89a")) return std::nullopt;
    auto word = [&](std::size_t at) {
        return static_cast<unsigned char>(header[at]) | static_cast<unsigned char>(header[at + 1]) << 8;
    };
    return PictureSize{word(6), word(8)};
}

std::optional<PictureSize> gifScreenSizeOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char header[10];
    if (!in.read(header, sizeof header)) return std::nullopt;
    return gifScreenSize(std::string_view(header, sizeof header));
}

}  // namespace tarvel
