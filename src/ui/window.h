// The one interface between the program's logic and the screen. The Qt window
// implements it; tests and the scripted driver use it too.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "ui/elements.h"

namespace tarvel {

// Time on a monotonic clock, from an arbitrary start.
using Instant = std::chrono::microseconds;

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

enum class PictureLoad { Loaded, Missing, NotAPicture };

// What a chart element draws: grades (1 "Ｉ" to 14 "ＳＳＳ") over time, one
// line per tempo, for one key.
struct ChartPoint {
    std::string time;  // local time, "2026-12-07 14:03:05"
    int grade = 0;
    bool operator==(const ChartPoint&) const = default;
};
struct ChartLine {
    std::string tempo;  // "120"
    std::vector<ChartPoint> points;
    bool operator==(const ChartLine&) const = default;
};
struct ChartData {
    std::string key;  // key code, "S01"
    std::vector<ChartLine> lines;
    bool operator==(const ChartData&) const = default;
};

// What the tuning chart draws: how each written note was tuned, lowest first.
struct TunePoint {
    std::string name;      // "ラ4"
    int clarinetMidi = 0;  // the fingering's written pitch on the B♭ clarinet: its register
    double cents = 0;      // sharp above 0
    int count = 0;         // right notes measured
    bool operator==(const TunePoint&) const = default;
};
struct TuneChartData {
    std::vector<TunePoint> points;
    bool operator==(const TuneChartData&) const = default;
};

struct TableData {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// Thrown by processEvents once the window has been closed: it unwinds the
// routine that was running, so that nothing runs after the close.
struct WindowClosed {};

class Window {
public:
    virtual ~Window() = default;

    virtual void show(ElementId id) = 0;
    virtual void hide(ElementId id) = 0;
    // Loads a GIF given by its data path ("system\hyouji\title.gif"). On failure
    // the element keeps no picture, so its place stays empty.
    virtual PictureLoad setPicture(ElementId id, const std::string& dataPath) = 0;
    virtual void setCaption(ElementId id, const std::string& text) = 0;
    virtual void setFontName(ElementId id, const std::string& name) = 0;
    virtual void setFontSize(ElementId id, double points) = 0;
    virtual bool isChecked(ElementId id) = 0;
    // A check box or choice list that cannot be used is shown greyed out.
    virtual void setEnabled(ElementId /*id*/, bool /*enabled*/) {}

    // The elements of the progress page. A window without them shows nothing.
    virtual void setChoices(ElementId /*id*/, const std::vector<std::string>& /*items*/, int /*chosen*/) {}
    // The chosen item of a choice element (the chosen row of a table), -1 when none is.
    virtual int chosenIndex(ElementId /*id*/) { return -1; }
    virtual void setChart(ElementId /*id*/, const ChartData& /*chart*/) {}
    virtual void setTable(ElementId /*id*/, const TableData& /*table*/) {}
    virtual void setTuneChart(ElementId /*id*/, const TuneChartData& /*chart*/) {}

    // Lets pending window events be handled; click handlers may run inside.
    // Throws WindowClosed when the window was closed meanwhile.
    virtual void processEvents() = 0;
    // Blocks the thread until the clock reads at least `deadline`. Only two
    // things are handled meanwhile, at once: a close request (it throws
    // WindowClosed) and the input for `heard`, a click on it or a key that
    // stands for it (its handler runs, and the sleep ends early). What a
    // sleep hears is the program's to say (the run's pauses). Any other input
    // made during the sleep is dropped: no button was visible when it was made.
    virtual void sleepUntil(Instant deadline, std::optional<ElementId> heard) = 0;
    virtual Instant now() = 0;
    virtual CalendarDate today() = 0;
    // The local time of day, for the history's time stamps.
    virtual TimeOfDay timeOfDay() {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return {local.tm_hour, local.tm_min, local.tm_sec};
    }

    // Tells the player something went wrong (a data file is missing, say).
    virtual void showMessage(const std::string& text) = 0;
    // Ends the program: no handler runs after this, and processEvents throws
    // WindowClosed if it is called again.
    virtual void endProgram(int status) = 0;
};

}  // namespace tarvel
