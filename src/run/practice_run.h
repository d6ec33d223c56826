// One practice run, from the tempo click to page 5: loading the exercise, the
// run screen, the count-in, the notes with their rolling rows, the closing
// pause and "終了". It owns everything of the run; the program keeps the
// pages and its state, and is told how the run ended.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "audio/audio_input.h"
#include "audio/audio_output.h"
#include "data/file_system.h"
#include "listen/judging.h"
#include "listen/listener.h"
#include "run/metronome.h"
#include "run/note_mapping.h"
#include "run/pauses.h"
#include "ui/window.h"

namespace tarvel {

enum class RunEnd {
    Finished,   // "終了" has been shown and Label1 emptied: page 5 comes next
    Cancelled,  // the cancel picture was clicked; its handler has shown the tempo page
    Closed,     // the window was closed: the program has ended
    Failed,     // the exercise or the run screen could not be shown: failure() says why
};

// What a run heard, for page 5.
struct RunHeard {
    bool inputFailed = false;            // listening was asked for, but the input would not open
    std::optional<Judgement> judgement;  // of a complete run that was listened to
};

// Whether the player asked to be heard, and the concert pitch they tune to.
struct Listening {
    bool on = false;
    double a4Hz = kStandardA4;
};

struct RunServices {
    Window& window;
    FileSystem& files;
    AudioOutput& sound;
    AudioInput& input;
};

class PracticeRun {
public:
    // `slots` is what the note and finger slots hold from one load to the
    // next; the run loads it anew unless the reload flag is "0". With
    // listening on, the player is heard through `services.input`.
    PracticeRun(RunServices services, ProgramState& state, MappedNotes& slots, Listening listening);
    ~PracticeRun();
    PracticeRun(const PracticeRun&) = delete;
    PracticeRun& operator=(const PracticeRun&) = delete;

    // Runs from the loading stage to the empty caption after "終了".
    RunEnd play();
    // What to tell the player when play() gave Failed.
    const std::string& failure() const { return failure_; }
    const RunHeard& heard() const { return heard_; }
    // Told of the judgement as soon as the run is judged.
    std::function<void(const Judgement&)> onJudged;

    // Whether a click on the cancel picture can come now: it shows.
    bool hearsCancel() const { return pauses_.hearsCancel(); }
    // The cancel picture was clicked: silence, stop hearing, and clear every
    // slot and the run screen. The program then sets the flags and shows the
    // tempo page.
    void cancel();

private:
    // Loading.
    bool Load_exercise();
    void failBadExercise(const std::string& path, const ExerciseError& error);
    void reportEmptyChartLines(const std::vector<std::int16_t>& chartLines);
    std::string missingPicturesMessage(const std::vector<std::string>& paths, std::string_view consequence);
    // The run.
    RunEnd steps();
    bool showRunScreen();
    bool countIn();
    bool Step_note(int n);
    void showNow(int n);
    void hideNow();
    void hideRow(int firstNote);
    void hideRunScreen();
    // Each is false once a cancel has ended the run.
    bool pump();
    bool say(std::string_view caption, int ms);
    bool pause(int ms);
    bool cancelRequested();
    // Listening.
    void startListening();
    bool countInPause(Instant end);
    void endCountIn();
    void judge();
    void stopListening();

    Window& w_;
    FileSystem& files_;
    AudioInput& input_;
    ProgramState& s_;
    MappedNotes& slots_;
    const Listening listening_;

    std::int16_t Beat_ms = 0;
    Pauses pauses_;
    Metronome metronome_;
    std::unique_ptr<Listener> listener_;  // while the run is heard
    bool countingIn_ = false;             // the level meter shows
    std::vector<double> beatStartMs_;     // each note's beat on the input's clock
    int markShown_ = -1;                  // the Now_mark showing, -1 for none
    bool bigShown_ = false;               // the large diagram and its keys show
    RunHeard heard_;
    std::string failure_;
};

}  // namespace tarvel
