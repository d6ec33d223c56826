#include "ui/page_pictures.h"

#include "app/choices.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

std::vector<PagePicture> buildTable() {
    std::vector<PagePicture> t;
    t.push_back({el::title_img, kTitlePicture});
    for (const SystemChoice& s : kSystemChoices) t.push_back({s.button, s.picture});
    for (const PairingChoice& p : kPairingChoices) t.push_back({p.button, p.picture});
    t.push_back({el::P2_Btn4, kPage2BackPicture});
    t.push_back({el::P3_BtnA, kBackPicture});
    t.push_back({el::P3_BtnB, kBackToStartPicture});
    for (int k = 0; k < el::keyCount; ++k) t.push_back({el::P3_Btn(k), Key_tbl[k].buttonPicture});
    for (int n = 1; n <= 9; ++n) t.push_back({el::P4_Btn(n), kTempoChoices[n - 1].picture});
    t.push_back({el::P4_BtnA, kBackPicture});
    for (int n = 1; n <= 4; ++n) t.push_back({el::P5_Btn(n), kAnswerChoices[n - 1].picture});
    t.push_back({el::P6_Btn(1), kAgainPicture});
    t.push_back({el::P6_Btn(2), kOtherTempoPicture});
    t.push_back({el::P6_Btn(3), kOtherKeyPicture});
    t.push_back({el::P3_BtnC, kProgressPicture});
    t.push_back({el::P7_BtnA, kBackPicture});
    t.push_back({el::P7_BtnB, kExportPicture});
    t.push_back({el::P7_BtnC, kWeakPicture});
    t.push_back({el::P7_BtnD, kTakeBackPicture});
    t.push_back({el::P8_BtnA, kBackPicture});
    t.push_back({el::P8_BtnD, kDrillPicture});
    t.push_back({el::Help_Btn, kHelpPicture});
    t.push_back({el::Help_BtnA, kHelpBackPicture});
    t.push_back({el::Help_BtnB, kHelpAboutPicture});
    return t;
}

}  // namespace

const std::vector<PagePicture>& aboutPictureTable() {
    static const std::vector<PagePicture> table{
        {el::About_Btn, kAboutPicture}, {el::About_BtnA, kBackPicture}, {el::About_BtnB, kOpenFolderPicture}};
    return table;
}

const std::vector<PagePicture>& pagePictureTable() {
    static const std::vector<PagePicture> table = buildTable();
    return table;
}

}  // namespace tarvel
