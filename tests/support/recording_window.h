// A window that records every operation as a line of text, keeps a virtual
// clock, and lets a test act inside the event pumps.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/window.h"

namespace tarvel::test {

class RecordingWindow : public Window {
public:
    std::vector<std::string> ops;          // "show P1_Btn1", "caption Label1 ...", "pump", "sleep 500"
    std::vector<long long> times;          // the clock in ms when each op began
    std::vector<std::string> sleepsHeard;  // for each sleep, the element it heard besides a close ("" none)
    std::set<std::string> missingPictures;
    bool checked = false;          // Check1
    bool metronomeChecked = true;  // Check2, checked at start as in the window
    bool listenChecked = false;    // Check3
    // Time each drawing operation takes, to see that pacing absorbs it.
    Instant drawingCost{};
    // Runs inside every processEvents, with the number of the pump from 1.
    std::function<void(int)> onPump;
    // Runs at the start of every sleep, with its deadline. It may move the
    // clock on (advanceTo) and act as the player would during the sleep; when
    // it returns true the sleep ends where the clock stands (woken early).
    std::function<bool(Instant)> onSleep;
    CalendarDate date{2010, 8, 28};

    RecordingWindow();

    void show(ElementId id) override;
    void hide(ElementId id) override;
    PictureLoad setPicture(ElementId id, const std::string& dataPath) override;
    void setCaption(ElementId id, const std::string& text) override;
    void setFontName(ElementId id, const std::string& name) override;
    void setFontSize(ElementId id, double points) override;
    bool isChecked(ElementId id) override {
        if (id == el::Check1) return checked;
        if (id == el::Check2) return metronomeChecked;
        return id == el::Check3 && listenChecked;
    }
    void setEnabled(ElementId id, bool enabled) override;
    void setChoices(ElementId id, const std::vector<std::string>& items, int chosen) override;
    int chosenIndex(ElementId id) override;
    void setChart(ElementId id, const ChartData& chart) override;
    void setTable(ElementId id, const TableData& table) override;
    void setTuneChart(ElementId /*id*/, const TuneChartData& data) override { tuneChart = data; }
    void processEvents() override;
    void sleepUntil(Instant deadline, std::optional<ElementId> heard) override;
    Instant now() override { return clock_; }
    CalendarDate today() override { return date; }
    void showMessage(const std::string& text) override;
    void endProgram(int status) override;

    void clearOps() {
        ops.clear();
        times.clear();
    }
    // Simulates the player closing the window inside the current pump.
    void closeNow();
    // Moves the clock on to `t` (never back).
    void advanceTo(Instant t) {
        if (t > clock_) clock_ = t;
    }
    // The player picks item `index` of a choice element (then the program is told).
    void choose(ElementId id, int index) { chosen_[id] = index; }

    // What the progress page's elements were last given.
    std::vector<std::string> choices;                         // of the choice given items last
    std::map<ElementId, std::vector<std::string>> choicesOf;  // of each choice element
    ChartData chart;
    TableData table;
    TuneChartData tuneChart;

    bool isShown(ElementId id) const;
    bool isEnabled(ElementId id) const { return !disabled_.count(id); }
    std::string picture(ElementId id) const;
    std::string caption(ElementId id) const;
    std::vector<std::string> messages() const;
    long long nowMs() const;
    bool ended() const { return ended_; }
    int pumps() const { return pumps_; }
    // The visible elements, by name, in id order.
    std::vector<std::string> visible() const;
    // The time of the first op equal to `op` from index `from` on, -1 if none.
    long long timeOf(const std::string& op, std::size_t from = 0) const;
    // Ops from index `from` on whose text starts with `prefix`.
    std::vector<std::string> opsStartingWith(const std::string& prefix, std::size_t from = 0) const;
    // Inside a pump: whether it is the first pump since `op` was last recorded
    // (a beat's pump, after its diagram and what comes with it).
    bool firstPumpSince(const std::string& op) const;

private:
    void draw();
    void record(std::string op);

    Instant clock_{};
    int pumps_ = 0;
    bool ended_ = false;
    std::set<ElementId> hidden_;
    std::set<ElementId> disabled_;
    std::map<ElementId, std::string> pictures_;
    std::map<ElementId, std::string> captions_;
    std::map<ElementId, int> chosen_;
};

}  // namespace tarvel::test
