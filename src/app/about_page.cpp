// About Tarvel: the version, the licence, the data folder with a button that
// opens it in the file manager, and what the history holds. Reached from
// page 1 (its button in the top right corner) and from the help page (its
// button, or A); back to where it was opened from.
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

bool Program::aboutCanOpen() {
    // Without its back button the page could not be left.
    if (giveAboutPicture(el::About_BtnA)) return true;
    w_.showMessage("Tarvel について を開けません。絵のファイル " + files_.fullPath(std::string(kBackPicture)) +
                   " を読めません。");
    return false;
}

// On page 1's place, or on the help's background when opened from the help:
// the page under the help keeps its caption.
void Program::Show_About() {
    enterPage(Page::About);
    w_.show(el::About_BtnA);
    if (giveAboutPicture(el::About_BtnB)) w_.show(el::About_BtnB);
    if (aboutOverHelp_) {
        w_.setCaption(el::About_ttl, std::string(text::kAboutPrompt));
        w_.show(el::About_ttl);
    } else {
        setLabel1Font(text::kPromptSize);
        w_.setCaption(el::Label1, std::string(text::kAboutPrompt));
    }
    w_.setCaption(el::About_lbl, aboutText(files_.fullPath("."), history_->keepsRuns(), history_->summary()));
    w_.show(el::About_lbl);
    tellHistoryMessages();
}

void Program::Hide_About() {
    enterPage(Page::None);
    showAboutOwn(false);
    if (aboutOverHelp_) w_.hide(el::About_ttl);
}

// About's buttons and text lie over the help's background, so the help,
// laid over About, hides them while it shows.
void Program::showAboutOwn(bool shown) {
    for (const ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl}) {
        if (id == el::About_BtnB && !aboutPictures_.contains(id)) continue;
        if (shown)
            w_.show(id);
        else
            w_.hide(id);
    }
}

void Program::About_Btn_Click() {
    if (!aboutCanOpen()) return;
    Hide_P1();
    Show_About();
}

// Back where About was opened from: page 1, or the help over its page.
void Program::About_BtnA_Click() {
    Hide_About();
    if (aboutOverHelp_)
        backToHelp();
    else
        Show_P1();
}

void Program::About_BtnB_Click() {
    const std::string folder = files_.fullPath(".");
    if (!desktop_->openFolder(folder))
        w_.showMessage("データのフォルダ " + folder + " をファイルマネージャーで開けませんでした。");
}

}  // namespace tarvel
