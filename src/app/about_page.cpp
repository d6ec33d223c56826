// About Tarvel: the version, the licence, the data folder with a button that
// opens it in the file manager, and what the history holds. Reached from
// page 1 (its button in the top right corner, or F1); back to page 1.
#include "app/about.h"
#include "app/choices.h"
#include "app/program.h"
#include "app/texts.h"
#include "ui/page_pictures.h"

namespace tarvel {

bool Program::giveAboutPicture(ElementId id) {
    if (aboutPictures_.contains(id)) return true;
    for (const PagePicture& row : aboutPictureTable()) {
        if (row.element != id) continue;
        // A data set without it lacks only this way to About (the checker says so).
        if (w_.setPicture(id, std::string(row.file)) != PictureLoad::Loaded) return false;
        aboutPictures_.insert(id);
        return true;
    }
    return false;
}

void Program::Show_About() {
    page_ = Page::About;
    w_.show(el::About_BtnA);
    if (giveAboutPicture(el::About_BtnB)) w_.show(el::About_BtnB);
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kAboutPrompt));
    w_.setCaption(el::About_lbl, aboutText(files_.fullPath("."), history_->keepsRuns(), history_->summary()));
    w_.show(el::About_lbl);
    tellHistoryMessages();
}

void Program::Hide_About() {
    page_ = Page::None;
    w_.hide(el::About_BtnA);
    if (aboutPictures_.contains(el::About_BtnB)) w_.hide(el::About_BtnB);
    w_.hide(el::About_lbl);
}

void Program::About_Btn_Click() {
    // Without its back button the page could not be left.
    if (!giveAboutPicture(el::About_BtnA)) {
        w_.showMessage("Tarvel について を開けません。絵のファイル " + files_.fullPath(std::string(kBackPicture)) +
                       " を読めません。");
        return;
    }
    Hide_P1();
    Show_About();
}

void Program::About_BtnA_Click() {
    Hide_About();
    Show_P1();
}

void Program::About_BtnB_Click() {
    const std::string folder = files_.fullPath(".");
    if (!desktop_->openFolder(folder))
        w_.showMessage("データのフォルダ " + folder + " をファイルマネージャーで開けませんでした。");
}

}  // namespace tarvel
