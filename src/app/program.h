// The program: its state, start-up and closing, the page routines, every click
// handler, the practice run and grading. It knows the screen only through Window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/context_caption.h"
#include "app/keyboard.h"
#include "audio/audio_input.h"
#include "audio/audio_output.h"
#include "data/file_system.h"
#include "data/fingering_chart.h"
#include "history/history_store.h"
#include "listen/judging.h"
#include "listen/listener.h"
#include "run/note_mapping.h"
#include "ui/window.h"

namespace tarvel {

// The values the window keeps for the life of the program, in this order.
struct ProgramState {
    KeySignature Choshi_tbl{};
    std::array<std::string, 7> Settings{};  // slot 0 is never used
    std::int16_t Play_cnt = 0;
    std::int16_t Onp_cnt = 0;
    FingeringTable Unshi_tbl{};
    std::int16_t Cancel_flg = 0;
};

// A result folder's files, the record first, for the player.
std::string describeExtraFiles(const std::string& folder, const std::vector<std::string>& names);

class Program {
public:
    Program(Window& window, FileSystem& files);

    // Where every graded run is kept besides the record; none by default.
    void setHistory(HistoryStore* history) { history_ = history; }

    // Where the metronome sounds; silent until one is set. The output must
    // outlive the program.
    void setAudioOutput(AudioOutput* output) { audio_ = output ? output : &silentAudio_; }

    const ProgramState& state() const { return s_; }
    ProgramState& state() { return s_; }

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
    // here; any other key gives the buttons it stands for, and the window
    // clicks the one of them it shows, as the mouse would.
    std::vector<ElementId> keyPressed(KeyInput key);
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

    // Listening: the input the tempo page offers; none by default, and then
    // the page offers no listening at all.
    void setAudioInput(AudioInput* input) { input_ = input; }
    // What the last complete run heard, from its end until an answer is
    // clicked; nothing when the run was not listened to.
    const std::optional<Judgement>& heardRun() const { return judgement_; }
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

    // The run.
    bool Load_exercise();
    void reportBadExercise(const std::string& path, const ExerciseError& error);
    bool showRunScreen();
    bool Step_note(int n);
    void hideRow(int firstNote);
    // Each is false once a cancel has ended the run.
    bool pumpEvents();
    bool say(std::string_view caption, int ms);
    bool sleepFor(int ms);
    void nextDeadline(int ms);  // the end of a pause of `ms` on the grid
    bool cancelRequested();
    void reportEmptyChartLines(const std::vector<std::int16_t>& chartLines);
    void startMetronome();
    void stopMetronome();
    void reportMissingPictures(const std::vector<std::string>& paths, std::string_view consequence);

    // Listening (listen/listening.cpp).
    void showListening();
    void hideListening();
    void rememberNotes(const MappedNotes& notes);
    bool startListening();
    bool countInPause(int ms);
    void noteBeatStart();
    void judgeListening();
    void stopListening();
    void showHeard();
    void hideHeard();
    // The history.
    void keepInHistory(std::string_view grade, int gradeNo);
    void showBestBadges();
    void showChart(int key);
    void tellHistoryMessages();

    Window& w_;
    FileSystem& files_;
    ProgramState s_;

    std::set<std::string> foldersWithExtraFiles_;  // the player has been told of them
    bool ended_ = false;
    bool inLongRoutine_ = false;  // a run or grading: only the cancel picture takes clicks
    bool keyPageShown_ = false;
    int keyFocus_ = 0;         // the key under the key page's frame
    std::int16_t Beat_ms = 0;  // of the run in progress
    // The run's pacing grid: the instant its current pause ends. Every pause
    // ends at the previous deadline plus its own length (count-in, counts,
    // beats, the closing pause), so drawing never lengthens a beat; sounds
    // that belong to a beat are due on the same instants.
    Instant deadline_{};

    AudioInput* input_ = nullptr;
    std::vector<std::string> inputNames_;  // as the tempo page last listed them
    std::string chosenInputName_;          // the input the player last listened with
    std::unique_ptr<Listener> listener_;   // while a run is heard
    bool listenFailed_ = false;            // the input could not be opened for the run
    bool countingIn_ = false;
    std::vector<int> expectedPitch_;          // of the loaded exercise, note by note
    std::vector<std::int16_t> writtenNotes_;  // its Onp_code, to name the slips
    std::vector<double> beatStartMs_;         // of the run being heard, on the input's clock
    std::optional<Judgement> judgement_;
    HistoryStore* history_ = nullptr;

    SilentAudioOutput silentAudio_;
    AudioOutput* audio_ = &silentAudio_;
    int clicksPlanned_ = 0;  // count-in and note beats of the run, 0 with the metronome off
    int clicksGiven_ = 0;
};

}  // namespace tarvel
