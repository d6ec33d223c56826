// tarvel-drive: runs the real program (real widgets) from a script, one
// command a line, for tests and for looking at a data set without playing it.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "app/program.h"
#include "audio/audio_input.h"
#include "data/file_system.h"
#include "drive/recorded_audio.h"
#include "drive/tracing.h"
#include "history/sqlite_history.h"
#include "qt/qt_window.h"

namespace tarvel {

struct DriverOptions {
    bool realTime = false;  // sleeps take real time; otherwise a virtual clock advances
    bool trace = false;     // print every window operation
    std::optional<CalendarDate> today;
    std::string listen;    // a WAV file heard as the microphone; none: no microphone
    std::string audioOut;  // a WAV file for the run's sound, when not empty
    bool sound = false;    // play the clicks on the sound device too (real time only)
};

// The desktop as the script answers it: a save dialog takes the path the
// last "save-as" gave (once), is cancelled after "save-cancel", and otherwise
// takes what it proposes; a folder to open is printed. A question is printed
// and answered yes after "confirm yes", no otherwise (once each).
class ScriptedDesktop : public Desktop {
public:
    explicit ScriptedDesktop(std::function<void(const std::string&)> print) : print_(std::move(print)) {}
    std::optional<std::string> chooseSavePath(const std::string& title, const std::string& proposedPath) override;
    bool openFolder(const std::string& path) override;
    bool confirm(const std::string& title, const std::string& question) override;

    std::optional<std::string> nextAnswer;
    bool cancelNext = false;
    bool agreeNext = false;

private:
    std::function<void(const std::string&)> print_;
};

class Driver {
public:
    explicit Driver(const DriverOptions& options);
    ~Driver();

    // Starts the program and runs the script. Returns the program's exit
    // status, or 2 for a script that cannot be read.
    int run(std::istream& script, const std::string& scriptName);

private:
    struct Scheduled {
        enum What { Click, ClickAt, Close, Shot, Key } what = Click;
        Instant due;
        ElementId element = 0;
        std::string file;  // of a shot
        int key = 0;       // Qt's key code
        int x = 0, y = 0;  // of a click at a spot of the window
    };

    bool execute(const std::string& line);
    void schedule(long long ms, Scheduled event);
    void deliverDue();
    void click(ElementId id);
    void clickAt(int x, int y);
    void sleepUntil(Instant deadline);
    void pressKey(int qtKey);
    void requestClose();
    void wait(long long ms);
    void dump();
    void dumpProgress(ElementId id);
    void shot(const std::string& file);
    std::string stateLine();
    std::string listenLine();
    void reportClicks();
    int finish(int status);

    DriverOptions options_;
    VirtualClock* virtualClock_ = nullptr;  // owned by the window
    std::unique_ptr<QtWindow> window_;
    LocalFileSystem files_;
    SqliteHistory history_{std::filesystem::absolute(SqliteHistory::kFileName)};
    std::unique_ptr<TraceLog> log_;
    std::unique_ptr<TracingWindow> tracingWindow_;
    std::unique_ptr<TracingFileSystem> tracingFiles_;
    std::unique_ptr<AudioInput> input_;
    std::unique_ptr<AudioOutput> device_;
    std::unique_ptr<RecordedAudio> audio_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    std::unique_ptr<Program> program_;
    std::deque<Scheduled> scheduled_;
};

}  // namespace tarvel
