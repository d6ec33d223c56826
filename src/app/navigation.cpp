// The click handlers of the pages, the way a click or a key reaches them, and
// the practice run as the tempo page starts it.
#include <algorithm>

#include "app/choices.h"
#include "app/long_routine.h"
#include "app/program.h"

namespace tarvel {

void Program::click(ElementId id) {
    if (ended_) return;
    // Pages are hidden during a run and grading; clicks that still reach a
    // button then (queued before a cancel, say) must not start a second run
    // inside the first.
    if (inLongRoutine_ && id != el::Cancel_img) return;
    // The help page, and About over it, lie over the page the player came
    // from: only their own buttons take clicks until the player goes back.
    if (!overlayTakes(id)) return;
    try {
        if (id >= el::P3_Btn(0) && id <= el::P3_Btn(el::keyCount - 1)) return P3_Btn_Click(id - el::P3_Btn(0));
        if (id >= el::P4_Btn(1) && id <= el::P4_Btn(9)) return P4_Btn_Click(id - el::P4_Btn(0));
        if (id >= el::P5_Btn(1) && id <= el::P5_Btn(4)) return P5_Btn_Click(id - el::P5_Btn(0));
        switch (id) {
        case el::P1_Btn1: return P1_Btn1_Click();
        case el::P1_Btn2: return P1_Btn2_Click();
        case el::P1_Btn3: return P1_Btn3_Click();
        case el::P2_Btn1: return P2_Btn1_Click();
        case el::P2_Btn2: return P2_Btn2_Click();
        case el::P2_Btn3: return P2_Btn3_Click();
        case el::P2_Btn4: return P2_Btn4_Click();
        case el::P3_BtnA: return P3_BtnA_Click();
        case el::P3_BtnB: return P3_BtnB_Click();
        case el::P3_BtnC: return P3_BtnC_Click();
        case el::P4_BtnA: return P4_BtnA_Click();
        case el::P6_Btn(1): return P6_Btn1_Click();
        case el::P6_Btn(2): return P6_Btn2_Click();
        case el::P6_Btn(3): return P6_Btn3_Click();
        case el::Cancel_img:
            if (run_) Cancel_img_Click();
            return;
        case el::P7_BtnA: return P7_BtnA_Click();
        case el::P7_BtnB: return P7_BtnB_Click();
        case el::P7_Key: return P7_Key_Change();
        case el::P7_BtnC: return P7_BtnC_Click();
        case el::P7_BtnD: return P7_BtnD_Click();
        case el::P8_BtnA: return P8_BtnA_Click();
        case el::P8_BtnD: return P8_BtnD_Click();
        case el::Cmb_A4: return Cmb_A4_Change();
        case el::About_Btn: return About_Btn_Click();
        case el::About_BtnA: return About_BtnA_Click();
        case el::About_BtnB: return About_BtnB_Click();
        case el::Help_Btn:
            if (page_ != Page::None && page_ != Page::Run) Help_Btn_Click();
            return;
        case el::Help_BtnA: return Help_BtnA_Click();
        case el::Help_BtnS: return Help_BtnS_Click();
        case el::Help_BtnB: return Help_BtnB_Click();
        default: return;  // notes, labels, the title: nothing happens
        }
    } catch (const WindowClosed&) {
        ended_ = true;  // the window closed inside grading
        audio_->stopAll();
    }
}

std::optional<ElementId> Program::keyPressed(KeyInput key) {
    if (ended_) return std::nullopt;
    if (isArrow(key)) {
        if (page_ == Page::Key && !inLongRoutine_) moveKeyFrame(keyAfterArrow(keyFocus_, key));
        if (page_ == Page::Progress && (key == KeyInput::Up || key == KeyInput::Down))
            moveProgressKey(key == KeyInput::Up ? -1 : 1);
        return std::nullopt;
    }
    // The run's key is its cancel picture's, and only while that shows.
    if (page_ == Page::Run && !(run_ && run_->hearsCancel())) return std::nullopt;
    // The key page's "today" key picks the first key due, as its button would.
    if (page_ == Page::Key && key == KeyInput::T && !inLongRoutine_)
        return dueKeys_.empty() ? std::nullopt : std::optional<ElementId>(el::P3_Btn(dueKeys_.front()));
    const std::optional<ElementId> button = buttonForKey(key, page_, keyFocus_);
    if (button && !overlayTakes(*button)) return std::nullopt;  // F1 on About over the help
    return button;
}

void Program::loadChart(std::size_t system) {
    const SystemChoice& choice = kSystemChoices[system];
    const std::string path(choice.chart);
    const TextFile chart = files_.readText(path);
    // Page 1, Settings and the table stay as they were.
    if (!chart.ok) {
        w_.showMessage("運指表 " + files_.fullPath(path) + " を読めません（" + chart.error + "）。");
        return;
    }
    storeChart(chart.lines, s_.Unshi_tbl);
    Hide_P1();
    Show_P2();
    s_.Settings[1] = std::string(choice.setting);
    // An empty chart still leads on, but not silently: its runs would show no fingering.
    if (std::all_of(chart.lines.begin(), chart.lines.end(), [](const std::string& line) { return line.empty(); }))
        w_.showMessage("運指表 " + files_.fullPath(path) + " には運指の行がひとつもありません。\n" +
                       "前に読んだ運指表のまま、ない行の運指は空で練習します。");
}

void Program::P1_Btn1_Click() { loadChart(0); }

void Program::P1_Btn2_Click() { loadChart(1); }

void Program::P1_Btn3_Click() {
    Hide_P1();
    Show_P2();
}

void Program::choosePairing(std::size_t pairing) {
    Hide_P2();
    s_.Settings[2] = std::string(kPairingChoices[pairing].setting);
    Show_P3();
}

void Program::P2_Btn1_Click() { choosePairing(0); }

void Program::P2_Btn2_Click() { choosePairing(1); }

void Program::P2_Btn3_Click() { choosePairing(2); }

void Program::P2_Btn4_Click() {
    Hide_P2();
    Show_P1();
}

void Program::P4_Btn_Click(int n) {
    Hide_P4();
    s_.Settings[4] = std::string(kTempoChoices[n - 1].tempo);
    Play_run();
}

void Program::Play_run() {
    const LongRoutine routine(inLongRoutine_);
    enterPage(Page::Run);
    heard_ = {};
    PracticeRun run(RunServices{w_, files_, *audio_, *input_}, s_, slotNotes_, listeningChosen());
    run.onJudged = onJudged;
    run_ = &run;
    const RunEnd end = run.play();
    run_ = nullptr;
    switch (end) {
    case RunEnd::Finished:
        heard_ = run.heard();
        Show_P5();
        if (s_.Cancel_flg == 1) s_.Cancel_flg = 0;
        return;
    case RunEnd::Failed:
        Show_P4();
        w_.showMessage(run.failure());
        return;
    case RunEnd::Closed: ended_ = true; return;
    case RunEnd::Cancelled: return;  // the cancel has shown the tempo page
    }
}

void Program::Cancel_img_Click() {
    run_->cancel();
    s_.Cancel_flg = 1;
    s_.Settings[6] = "1";
    Show_P4();
}

void Program::P4_BtnA_Click() {
    Hide_P4();
    Show_P3();
}

void Program::P6_Btn1_Click() {
    Hide_P6();
    s_.Settings[6] = "0";
    Play_run();
}

void Program::P6_Btn2_Click() {
    Hide_P6();
    s_.Settings[6] = "0";
    Show_P4();
}

void Program::P6_Btn3_Click() {
    Hide_P6();
    s_.Settings[6] = "1";
    Show_P3();
}

}  // namespace tarvel
