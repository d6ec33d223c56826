// The program: its state, start-up and closing, the page routines and every
// click handler. It starts the practice run and grades it; it knows the
// screen only through Window.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/context_caption.h"
#include "app/keyboard.h"
#include "app/page.h"
#include "app/program_state.h"
#include "app/slip_score.h"
#include "audio/audio_input.h"
#include "audio/audio_output.h"
#include "data/file_system.h"
#include "data/preferences.h"
#include "desktop/desktop.h"
#include "drill/weak_notes.h"
#include "history/history_store.h"
#include "run/practice_run.h"
#include "ui/window.h"

namespace tarvel {

// A result folder's files, the record first, for the player.
std::string describeExtraFiles(const std::string& folder, const std::vector<std::string>& names);

class Program {
public:
    Program(Window& window, FileSystem& files);

    // The outside services. Until one is set the program has a silent one:
    // no history (nothing kept, nothing to read), no sound, no microphone, no
    // desktop (an export is saved where it is proposed, no folder opens).
    // Each must outlive the program.
    void setHistory(HistoryStore& history) { history_ = &history; }
    void setAudioOutput(AudioOutput& output) { audio_ = &output; }
    void setAudioInput(AudioInput& input) { input_ = &input; }
    void setDesktop(Desktop& desktop) { desktop_ = &desktop; }

    const ProgramState& state() const { return s_; }
    ProgramState& state() { return s_; }
    // The page showing (Page::None between pages and while grading).
    Page page() const { return page_; }

    // Start-up, before the window is first shown. False when a page picture
    // could not be loaded: the player has been told and the program has ended.
    bool Form_Load();
    // The window's close request; never refuses it.
    void Form_QueryUnload(int& cancel, int unloadMode);
    // The window is closing: the program ends at once.
    void Form_Unload(int& cancel);

    // A click on an element, from the window. Runs the element's handler, if
    // it has one and may run now.
    void click(ElementId id);
    // A key pressed in the window. The arrow keys move the key page's frame
    // here; any other key gives the button it stands for on the page showing,
    // which the window clicks as the mouse would.
    std::optional<ElementId> keyPressed(KeyInput key);
    // The key under the key page's frame.
    int focusedKey() const { return keyFocus_; }

    // Page routines.
    void Show_P1();
    void Hide_P1();
    void Show_P2();
    void Hide_P2();
    void Show_P3();
    void Hide_P3();
    void Show_P4();
    void Hide_P4();
    void Show_P5();
    void Hide_P5();
    void Show_P6();
    void Hide_P6();
    void Show_P7();  // the progress page
    void Hide_P7();
    void Show_P8();  // the weak notes, from the progress page
    void Hide_P8();
    void Show_About();  // About Tarvel, from page 1 or the help page
    void Hide_About();
    bool Load_pictures();

    // Click handlers. The button families share one handler each: key button
    // P3_Btn<k>, tempo button P4_Btn<n>, answer button P5_Btn<n>.
    void P1_Btn1_Click();
    void P1_Btn2_Click();
    void P1_Btn3_Click();
    void P2_Btn1_Click();
    void P2_Btn2_Click();
    void P2_Btn3_Click();
    void P2_Btn4_Click();
    void P3_Btn_Click(int k);
    void P3_BtnA_Click();
    void P3_BtnB_Click();
    void P3_BtnC_Click();
    void P4_Btn_Click(int n);
    void P4_BtnA_Click();
    void P5_Btn_Click(int n);
    void P6_Btn1_Click();
    void P6_Btn2_Click();
    void P6_Btn3_Click();
    void Cancel_img_Click();
    void P7_BtnA_Click();
    void P7_BtnB_Click();
    void P7_Key_Change();
    void P7_BtnC_Click();  // the weak notes
    void P7_BtnD_Click();  // takes the chosen run back, once the player agrees
    void P8_BtnA_Click();
    void P8_BtnD_Click();  // the drill of the weak notes
    void Cmb_A4_Change();  // the concert pitch for listening
    void About_Btn_Click();
    void About_BtnA_Click();
    void About_BtnB_Click();
    // The help page: "？" or F1 on any page, back with Esc or Backspace.
    void Help_Btn_Click();
    void Help_BtnA_Click();
    void Help_BtnS_Click();
    void Help_BtnB_Click();  // About Tarvel, over the help

    // What the last complete run heard, from its end until the run is kept
    // in the history; nothing when the run was not listened to.
    const std::optional<Judgement>& heardRun() const { return heard_.judgement; }
    // The weak-notes page's notes and tuning, the key page's keys due today,
    // the drill's notes (for the driver's dump).
    const std::vector<WeakNote>& weakShown() const { return weakShown_; }
    const std::vector<Tendency>& tendenciesShown() const { return tendenciesShown_; }
    const std::vector<int>& dueKeys() const { return dueKeys_; }
    const std::vector<std::int16_t>& drillTargets() const { return drillTargets_; }
    int drillNotes() const { return drillNotes_; }
    // Told of every judged run, as it is judged (the driver traces it).
    std::function<void(const Judgement&)> onJudged;

    // The practice run and grading.
    void Play_run();
    void Show_result();
    // False when the record could not be written; the player has been told why.
    bool Write_result(std::string_view grade);

private:
    void loadChart(std::size_t system);
    void choosePairing(std::size_t pairing);
    void showElements(ElementId first, ElementId last);
    void hideElements(ElementId first, ElementId last);
    void setLabel1Font(double points);
    void showWhere(CaptionDepth depth);
    void moveKeyFrame(int k);
    // The page showing from now on; the "？" shows with every page.
    void enterPage(Page page);
    void showHelpButton(bool shown);
    void showLegend();
    // The help's elements, its background too or not (About lies on it).
    bool helpShows(ElementId id) const;
    void showHelpElements(bool withBackground);
    void hideHelpElements(bool withBackground);
    void backToHelp();
    // Whether a click may reach `id` while the help, or About over it, lies over a page.
    bool overlayTakes(ElementId id) const;
    // False, and the player told, when About's back button has no picture.
    bool aboutCanOpen();
    void showAboutOwn(bool shown);
    // The progress page's key list, one key up or down.
    void moveProgressKey(int step);

    // The tempo page's listening box and input list; page 5's slips.
    void showListening();
    void hideListening();
    Listening listeningChosen();
    void showHeard();
    void hideHeard();
    // Page 5's small staff with the slips on it.
    void showScore(const SlipMarks& slips);
    void hideScore();
    // The history.
    void keepInHistory(std::string_view grade, int gradeNo);
    void showBestBadges();
    void showChart(int key);
    void tellHistoryMessages();
    // The weak notes and the drill.
    std::string todayText();  // "2026-12-07"
    void showWeakNote(int i, const WeakNote& note);
    bool writeDrill(std::string& problem);
    void endDrill();
    // The key page's keys due today.
    void showDueKeys();
    // About Tarvel's pictures are given the first time they show.
    bool giveAboutPicture(ElementId id);

    Window& w_;
    FileSystem& files_;
    ProgramState s_;
    Page page_ = Page::None;
    Page helpFrom_ = Page::None;  // the page under the help page
    int helpSystem_ = 0;          // whose legend the help page shows: 0 Boehm, 1 Oehler
    bool helpButtonShown_ = false;
    bool aboutOverHelp_ = false;  // About was opened from the help page and lies on its background

    std::set<std::string> foldersWithExtraFiles_;  // the player has been told of them
    bool ended_ = false;
    bool inLongRoutine_ = false;  // a run or grading: only the cancel picture takes clicks
    int keyFocus_ = 0;            // the key under the key page's frame
    // What the note and finger slots hold from one run's load to the next.
    MappedNotes slotNotes_;
    PracticeRun* run_ = nullptr;         // the run in progress, for its cancel picture
    RunHeard heard_;                     // what page 5 shows of the run before it
    std::vector<ElementId> scoreShown_;  // what page 5's small staff shows

    std::vector<std::string> inputNames_;       // as the tempo page last listed them
    std::string chosenInputName_;               // the input the player last listened with
    Preferences preferences_;                   // kept from one start to the next
    std::vector<std::string> progressKeys_;     // its key list
    std::vector<std::int64_t> progressRunIds_;  // the runs its table shows, by row
    std::vector<int> dueKeys_;                  // the key page's keys due today, the first first
    std::vector<WeakNote> weakShown_;           // what the weak-notes page shows, while it does
    std::vector<Tendency> tendenciesShown_;
    std::vector<std::int16_t> drillTargets_;  // the notes of the drill being played
    int drillNotes_ = 0;

    std::set<ElementId> aboutPictures_;  // given already

    NoHistory noHistory_;
    NoDesktop noDesktop_;
    Desktop* desktop_ = &noDesktop_;
    SilentAudioOutput silentAudio_;
    NoAudioInput noInput_;
    HistoryStore* history_ = &noHistory_;
    AudioOutput* audio_ = &silentAudio_;
    AudioInput* input_ = &noInput_;
};

}  // namespace tarvel
