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
    if (id == el::About_BtnA || id == el::P8_BtnA) return {150, 44};
    if (id == el::P7_BtnC || id == el::P8_BtnD) return {180, 64};  // right of the message label, under the "？"
    if (id == el::P7_BtnD) return {230, 56};                       // under the export's note
    if (id >= el::P8_Fng(0) && id < el::P8_Fng(el::weakShown * el::fingersPerNote)) return {50, 150};
    if (id == el::About_Btn) return {48, 48};         // in page 1's top right corner, left of the "？"
    if (id == el::Cancel_img) return {58, 25, true};  // the red disc and its key, left of the clef
    if (id == el::Gosen_img1 || id == el::Gosen_img2) return {960, 200, true};  // to the right edge, above the fingers
    if (id == el::Choshi(0) || id == el::Choshi(1)) return {152, 200};          // left of the first note column
    if (id >= el::onp_img(0) && id < el::Uns_img(0)) return {52, 200};          // one column, above the fingers
    if (id >= el::Uns_img(0) && id < el::Uns_img(el::fingerSlotCount)) return {50, 150};
    if (id >= el::Now_mark(0) && id <= el::Now_mark(el::nowMarkCount - 1)) return {52, 200};  // a note's place
    // Between the clefs and key signatures of the two staves, left of the first column.
    if (id >= el::Big_finger(0) && id <= el::Big_finger(el::fingersPerNote - 1)) return {90, 270, true};
    if (id == el::Help_Btn) return {40, 44};       // right of page 6's grade ladder
    if (id == el::Help_legend) return {520, 690};  // left of the help texts
    if (id == el::Help_BtnS) return {230, 44};
    if (id == el::Help_BtnA) return {130, 44};
    if (id == el::Help_BtnB) return {230, 44};
    if (id == el::P5_Staff(0)) return {380, kScoreBandHeight};  // the clef and the first row
    if (id >= el::P5_Staff(1) && id <= el::P5_Staff(el::scoreRows - 1)) return {310, kScoreBandHeight};
    if (id == el::P5_Choshi) return {52, kScoreBandHeight};  // between the clef and the first note
    if (id >= el::P5_Mark(0) && id <= el::P5_Mark(el::scoreNotes - 1)) return {kScoreMarkWidth, kScoreBandHeight};
    if (id >= el::P5_Note(0) && id <= el::P5_Extra(el::scoreNotes - 1)) return {kScoreColumnWidth, kScoreBandHeight};
    if (id == el::P5_ExtraFirst) return {kScoreColumnWidth, kScoreBandHeight};
    if (id == el::P5_Legend) return {600, 24};
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
