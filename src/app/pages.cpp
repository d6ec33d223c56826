// Start-up, closing and the page routines.
#include "app/program.h"
#include "app/texts.h"
#include "ui/page_pictures.h"

namespace tarvel {

Program::Program(Window& window, FileSystem& files) : w_(window), files_(files) {}

void Program::showElements(ElementId first, ElementId last) {
    for (ElementId id = first; id <= last; ++id) w_.show(id);
}

void Program::hideElements(ElementId first, ElementId last) {
    for (ElementId id = first; id <= last; ++id) w_.hide(id);
}

void Program::setLabel1Font(double points) {
    w_.setFontName(el::Label1, std::string(text::kUiFont));
    w_.setFontSize(el::Label1, points);
}

// The caption naming the choices so far, on pages 3 to 6.
void Program::showWhere(CaptionDepth depth) {
    const bool drill = !s_.drillExercise.empty() && depth != CaptionDepth::Pairing;
    w_.setCaption(el::Where_lbl, contextCaption(s_.Settings, depth) + (drill ? "・苦手ドリル" : ""));
    w_.show(el::Where_lbl);
}

bool Program::Form_Load() {
    Hide_P2();
    Hide_P3();
    Hide_P4();
    Hide_P5();
    Hide_P6();
    Hide_P7();
    Hide_P8();
    s_.Cancel_flg = 0;
    if (!Load_pictures()) return false;
    preferences_ = readPreferences(files_);
    Show_P1();
    hideElements(el::onp_img(0), el::onp_img(el::noteSlotCount - 1));
    hideElements(el::Uns_img(0), el::Uns_img(el::fingerSlotCount - 1));
    // The elements added beside the pages show only with their pages.
    hideElements(el::Where_lbl, el::Record_lbl);
    return true;
}

void Program::Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}

void Program::Form_Unload(int& /*cancel*/) {
    audio_->stopAll();
    ended_ = true;
    w_.endProgram(0);
}

bool Program::Load_pictures() {
    for (const PagePicture& row : pagePictureTable()) {
        const std::string path(row.file);
        const PictureLoad loaded = w_.setPicture(row.element, path);
        if (loaded == PictureLoad::Loaded) continue;
        // Without its pages the program cannot be used: say which file, then end.
        if (!files_.folderExists("system\\"))
            w_.showMessage(
                "Tarvel を起動できません。\nフォルダ " + files_.fullPath(".") +
                " には Tarvel のデータ（system フォルダ）がありません。\n"
                "Tarvel はコマンド tarvel で起動してください。データのフォルダを用意して、その中で起動します。");
        else
            w_.showMessage("Tarvel を起動できません。\n絵のファイル " + files_.fullPath(path) +
                           (loaded == PictureLoad::Missing ? " が見つかりません。"
                                                           : " を絵として読めません（壊れているか、大きすぎます）。"));
        ended_ = true;
        w_.endProgram(1);
        return false;
    }
    return true;
}

void Program::Show_P1() {
    enterPage(Page::System);
    w_.show(el::title_img);
    showElements(el::P1_Btn1, el::P1_Btn3);
    w_.setCaption(el::Label1, "");
    if (giveAboutPicture(el::About_Btn)) w_.show(el::About_Btn);
}

void Program::Hide_P1() {
    enterPage(Page::None);
    w_.hide(el::title_img);
    hideElements(el::P1_Btn1, el::P1_Btn3);
    if (aboutPictures_.contains(el::About_Btn)) w_.hide(el::About_Btn);
}

void Program::Show_P2() {
    enterPage(Page::Part);
    w_.show(el::title_img);
    showElements(el::P2_Btn1, el::P2_Btn4);
    w_.setCaption(el::Label1, "");
}

void Program::Hide_P2() {
    enterPage(Page::None);
    w_.hide(el::title_img);
    hideElements(el::P2_Btn1, el::P2_Btn4);
}

void Program::Hide_P3() {
    enterPage(Page::None);
    w_.hide(el::P3_BtnA);
    w_.hide(el::P3_BtnB);
    hideElements(el::P3_Btn(0), el::P3_Btn(el::keyCount - 1));
    hideElements(el::Lab_S1(0), el::Lab_S1(el::keyCount - 1));
    w_.hide(el::Check1);
    hideElements(el::Best_lbl(0), el::Best_lbl(el::keyCount - 1));
    hideElements(el::Due_lbl(0), el::Due_lbl(el::keyCount - 1));
    w_.hide(el::Due_note);
    w_.hide(el::P3_BtnC);
    w_.hide(el::Where_lbl);
    w_.hide(el::Key_frm(keyFocus_));
}

void Program::Show_P4() {
    enterPage(Page::Tempo);
    showElements(el::P4_Btn(1), el::P4_Btn(9));
    w_.show(el::P4_BtnA);
    s_.Play_cnt = 0;
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kTempoPrompt));
    w_.show(el::Check2);
    if (!audio_->deviceAvailable()) w_.show(el::Lab_Oto);
    showWhere(CaptionDepth::Key);
    showListening();
}

void Program::Hide_P4() {
    enterPage(Page::None);
    hideElements(el::P4_Btn(1), el::P4_Btn(9));
    w_.hide(el::P4_BtnA);
    w_.hide(el::Check2);
    w_.hide(el::Lab_Oto);
    w_.hide(el::Where_lbl);
    hideListening();
}

void Program::Show_P5() {
    enterPage(Page::Answer);
    showElements(el::P5_Btn(1), el::P5_Btn(4));
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kAnswerPrompt));
    showWhere(CaptionDepth::Tempo);
    showHeard();
}

void Program::Hide_P5() {
    enterPage(Page::None);
    hideElements(el::P5_Btn(1), el::P5_Btn(4));
    w_.hide(el::Where_lbl);
    hideHeard();
}

// Grading has written the ladder and the record's outcome.
void Program::Show_P6() {
    enterPage(Page::Grade);
    showElements(el::P6_Btn(1), el::P6_Btn(3));
    showWhere(CaptionDepth::Tempo);
    w_.show(el::Ladder_lbl);
    w_.show(el::Record_lbl);
}

void Program::Hide_P6() {
    enterPage(Page::None);
    hideElements(el::P6_Btn(1), el::P6_Btn(3));
    w_.hide(el::Where_lbl);
    w_.hide(el::Ladder_lbl);
    w_.hide(el::Record_lbl);
}

}  // namespace tarvel
