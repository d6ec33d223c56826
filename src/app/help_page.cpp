// The help page: over whatever page the player came from, the legend of the
// diagrams (the system chosen, the other one a key away), the grades and how
// to climb them, the keys of that page, and the way to About Tarvel. Going
// back hides it and nothing else, so the page underneath, its captions and
// the key page's frame are exactly as they were.
#include "app/choices.h"
#include "app/keyboard.h"
#include "app/program.h"
#include "grade/grading.h"

namespace tarvel {
namespace {

// Its background and its own elements; About Tarvel, opened from it, lies on that background.
constexpr ElementId kHelpElements[] = {el::Help_bg,   el::Help_legend, el::Help_BtnS, el::Help_Ladder,
                                       el::Help_Keys, el::Help_BtnA,   el::Help_BtnB};

std::string_view pageName(Page page) {
    switch (page) {
    case Page::System: return "運指をえらぶページ";
    case Page::Part: return "楽譜をえらぶページ";
    case Page::Key: return "調をえらぶページ";
    case Page::Tempo: return "テンポをえらぶページ";
    case Page::Answer: return "「どうだった？」のページ";
    case Page::Grade: return "成績のページ";
    case Page::Progress: return "記録のページ";
    case Page::Weak: return "苦手な音のページ";
    case Page::About: return "「Tarvel について」のページ";
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
    // Between two pages the next one decides; a run, the help page and About over it have no "？".
    if (page == Page::None) return;
    showHelpButton(page != Page::Run && page != Page::Help && !aboutOverHelp_);
}

void Program::showHelpButton(bool shown) {
    if (shown == helpButtonShown_) return;
    helpButtonShown_ = shown;
    if (shown)
        w_.show(el::Help_Btn);
    else
        w_.hide(el::Help_Btn);
}

bool Program::overlayTakes(ElementId id) const {
    if (aboutOverHelp_) return id == el::About_BtnA || id == el::About_BtnB;
    const bool helpButton = id == el::Help_BtnA || id == el::Help_BtnS || id == el::Help_BtnB;
    return (page_ == Page::Help) == helpButton && (!helpButton || helpShows(id));
}

void Program::Help_Btn_Click() {
    helpFrom_ = page_;
    enterPage(Page::Help);
    helpSystem_ = s_.Settings[1] == kSystemChoices[1].setting ? 1 : 0;
    showLegend();
    w_.setCaption(el::Help_Ladder, gradeHelp());
    w_.setCaption(el::Help_Keys, keysHelp(helpFrom_));
    if (helpFrom_ == Page::About) showAboutOwn(false);
    showHelpElements(true);
}

// Over About itself the help has no way to About.
bool Program::helpShows(ElementId id) const { return id != el::Help_BtnB || helpFrom_ != Page::About; }

void Program::showHelpElements(bool withBackground) {
    for (const ElementId id : kHelpElements)
        if (helpShows(id) && (withBackground || id != el::Help_bg)) w_.show(id);
}

void Program::hideHelpElements(bool withBackground) {
    for (const ElementId id : kHelpElements)
        if (helpShows(id) && (withBackground || id != el::Help_bg)) w_.hide(id);
}

void Program::Help_BtnS_Click() {
    helpSystem_ = 1 - helpSystem_;
    showLegend();
}

void Program::Help_BtnA_Click() {
    hideHelpElements(true);
    if (helpFrom_ == Page::About) showAboutOwn(true);
    enterPage(helpFrom_);
}

// About Tarvel on the help's background; its back button comes back to the help.
void Program::Help_BtnB_Click() {
    if (!aboutCanOpen()) return;
    hideHelpElements(false);
    aboutOverHelp_ = true;
    Show_About();
}

// From About back to the help, over the page it was over.
void Program::backToHelp() {
    aboutOverHelp_ = false;
    enterPage(Page::Help);
    showHelpElements(false);
}

// A legend or button picture that cannot be read leaves its place empty: the
// rest of the help still reads.
void Program::showLegend() {
    w_.setPicture(el::Help_legend, std::string(kSystemChoices[static_cast<std::size_t>(helpSystem_)].legend));
    w_.setPicture(el::Help_BtnS, std::string(kSystemChoices[static_cast<std::size_t>(1 - helpSystem_)].legendButton));
}

}  // namespace tarvel
