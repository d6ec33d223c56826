// The help page: over whatever page the player came from, the legend of the
// diagrams (the system chosen, the other one a key away), the grades and how
// to climb them, and the keys of that page. Going back hides it and nothing
// else, so the page underneath, its captions and the key page's frame are
// exactly as they were.
#include "app/choices.h"
#include "app/keyboard.h"
#include "app/program.h"
#include "grade/grading.h"

namespace tarvel {
namespace {

constexpr ElementId kHelpElements[] = {el::Help_bg,     el::Help_legend, el::Help_BtnS,
                                       el::Help_Ladder, el::Help_Keys,   el::Help_BtnA};

std::string_view pageName(Page page) {
    switch (page) {
    case Page::System: return "運指をえらぶページ";
    case Page::Part: return "楽譜をえらぶページ";
    case Page::Key: return "調をえらぶページ";
    case Page::Tempo: return "テンポをえらぶページ";
    case Page::Answer: return "「どうだった？」のページ";
    case Page::Grade: return "成績のページ";
    case Page::Progress: return "記録のページ";
    default: return "このページ";
    }
}

std::string keysHelp(Page page) {
    const std::string br = "\r\n";
    return "キー（" + std::string(pageName(page)) + "）" + br + pageKeysText(page) + br + "練習の間：" +
           std::string(keyCap(KeyInput::Escape)) + "　練習をやめる" + br + "どのページでも：" +
           std::string(keyCap(KeyInput::F1)) + "　このヘルプ" + br + "ボタンの右の小さな四角が、そのボタンのキーです。";
}

}  // namespace

void Program::enterPage(Page page) {
    page_ = page;
    // Between two pages the next one decides; a run and the help page have no "？".
    if (page == Page::None) return;
    showHelpButton(page != Page::Run && page != Page::Help);
}

void Program::showHelpButton(bool shown) {
    if (shown == helpButtonShown_) return;
    helpButtonShown_ = shown;
    if (shown)
        w_.show(el::Help_Btn);
    else
        w_.hide(el::Help_Btn);
}

void Program::Help_Btn_Click() {
    helpFrom_ = page_;
    enterPage(Page::Help);
    helpSystem_ = s_.Settings[1] == kSystemChoices[1].setting ? 1 : 0;
    showLegend();
    w_.setCaption(el::Help_Ladder, gradeHelp());
    w_.setCaption(el::Help_Keys, keysHelp(helpFrom_));
    for (const ElementId id : kHelpElements) w_.show(id);
}

void Program::Help_BtnS_Click() {
    helpSystem_ = 1 - helpSystem_;
    showLegend();
}

void Program::Help_BtnA_Click() {
    for (const ElementId id : kHelpElements) w_.hide(id);
    enterPage(helpFrom_);
}

// A legend or button picture that cannot be read leaves its place empty: the
// rest of the help still reads.
void Program::showLegend() {
    w_.setPicture(el::Help_legend, std::string(kSystemChoices[static_cast<std::size_t>(helpSystem_)].legend));
    w_.setPicture(el::Help_BtnS, std::string(kSystemChoices[static_cast<std::size_t>(1 - helpSystem_)].legendButton));
}

}  // namespace tarvel
