// The key page: every key's last result, and the buttons that leave the page.
#include "app/program.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/result_record.h"
#include "drill/spacing.h"
#include "keys/key_table.h"

namespace tarvel {

void Program::Show_P3() {
    endDrill();
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
    showDueKeys();
    showWhere(CaptionDepth::Pairing);
    // The keyboard's frame starts on the key chosen last, ハ長調 before any.
    keyFocus_ = keyIndex(s_.Settings[3]).value_or(0);
    w_.show(el::Key_frm(keyFocus_));
    // Told once per folder for the life of the program.
    if (!extraFiles.empty())
        w_.showMessage(extraFiles + "記録はそれぞれ最初の名前のファイルで、ほかのファイルには手を触れません。");
}

// Keys not played for longer than their best grade lets them rest, the most
// overdue first: tagged on their buttons, named on the line under the keys.
void Program::showDueKeys() {
    const auto practice = history_->keyPractice(s_.Settings[1], s_.Settings[2]);
    tellHistoryMessages();
    dueKeys_ = practice ? tarvel::dueKeys(*practice, todayText()) : std::vector<int>{};
    if (!practice || practice->empty()) return;  // nothing graded yet: nothing to space
    for (const int k : dueKeys_) {
        w_.setCaption(el::Due_lbl(k), "きょうの練習");
        w_.show(el::Due_lbl(k));
    }
    std::string line;
    if (dueKeys_.empty()) {
        line = "きょうの練習：どの調も、成績に合わせて休ませてよい日です。";
    } else {
        line = "きょうの練習：";
        constexpr std::size_t kNamed = 4;
        for (std::size_t i = 0; i < dueKeys_.size() && i < kNamed; ++i)
            line += (i ? "・" : "") + std::string(Key_tbl[static_cast<std::size_t>(dueKeys_[i])].japanese);
        if (dueKeys_.size() > kNamed) line += " ほか " + std::to_string(dueKeys_.size() - kNamed) + " 調";
        line +=
            "　（T キーで " + std::string(Key_tbl[static_cast<std::size_t>(dueKeys_.front())].japanese) + " を始める）";
    }
    w_.setCaption(el::Due_note, line);
    w_.show(el::Due_note);
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
