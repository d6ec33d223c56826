// The key page: every key's last result, and the buttons that leave the page.
#include "app/program.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/result_record.h"
#include "keys/key_table.h"

namespace tarvel {

void Program::Show_P3() {
    enterPage(Page::Key);
    w_.show(el::P3_BtnA);
    w_.show(el::P3_BtnB);
    showElements(el::P3_Btn(0), el::P3_Btn(el::keyCount - 1));
    std::string extraFiles;
    for (int k = 0; k < el::keyCount; ++k) {
        const std::string dir = Result_dir(s_.Settings[1], s_.Settings[2], Key_tbl[k].code);
        const std::vector<std::string> names = files_.recordFiles(dir);
        w_.setCaption(el::Lab_S1(k), names.empty() ? std::string() : names.front());
        w_.show(el::Lab_S1(k));
        if (names.size() > 1 && foldersWithExtraFiles_.insert(dir).second)
            extraFiles += describeExtraFiles(files_.fullPath(dir), names);
    }
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kKeyPrompt));
    w_.show(el::Check1);
    showBestBadges();
    w_.show(el::P3_BtnC);
    showWhere(CaptionDepth::Pairing);
    // The keyboard's frame starts on the key chosen last, ハ長調 before any.
    keyFocus_ = keyIndex(s_.Settings[3]).value_or(0);
    w_.show(el::Key_frm(keyFocus_));
    // Told once per folder for the life of the program.
    if (!extraFiles.empty())
        w_.showMessage(extraFiles + "記録はそれぞれ最初の名前のファイルで、ほかのファイルには手を触れません。");
}

std::string describeExtraFiles(const std::string& folder, const std::vector<std::string>& names) {
    std::string text = "フォルダ " + folder + " には記録のファイルが " + std::to_string(names.size()) + " つあります:";
    for (const std::string& name : names) text += " 「" + name + "」";
    return text + "\n";
}

void Program::moveKeyFrame(int k) {
    if (k == keyFocus_) return;
    w_.hide(el::Key_frm(keyFocus_));
    keyFocus_ = k;
    w_.show(el::Key_frm(keyFocus_));
}

void Program::P3_Btn_Click(int k) {
    Hide_P3();
    Show_P4();
    s_.Settings[3] = std::string(Key_tbl[k].code);
    s_.Settings[6] = "1";
    // The tempo page came up before the key was stored: name it now.
    showWhere(CaptionDepth::Key);
}

void Program::P3_BtnA_Click() {
    Hide_P3();
    Show_P2();
}

void Program::P3_BtnB_Click() {
    Hide_P3();
    Show_P1();
}

void Program::P3_BtnC_Click() {
    Hide_P3();
    Show_P7();
}

}  // namespace tarvel
