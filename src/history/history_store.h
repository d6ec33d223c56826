// The history: every graded run, kept beside the result records (which keep
// only each key's last grade). SqliteHistory keeps it in a file; tests use a
// recording double.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window.h"

namespace tarvel {

struct HistoryRun {
    std::string playedAt;  // local time, "2026-12-07 14:03:05"
    std::string system;    // "Boe", "Oeh"
    std::string pairing;   // "BB", "BC", "BA"
    std::string key;       // "000", "S01" .. "F14"
    std::string tempo;     // "30" .. "480"
    std::string answer;    // "0" .. "3"
    std::string grade;     // "Ｉ" .. "ＳＳＳ"
    int gradeNo = 0;       // 1 .. 14
    // Slips the program heard itself; only when it listened during the run.
    std::optional<int> heardSlips;

    bool operator==(const HistoryRun&) const = default;
};

// A key's best result: the best grade, at the fastest tempo it was reached at.
struct BestResult {
    int gradeNo = 0;
    std::string grade;  // "ＡＡＡ"
    std::string tempo;  // "340"

    bool operator==(const BestResult&) const = default;
};
// By key index; nullopt for a key never graded.
using BestPerKey = std::array<std::optional<BestResult>, 29>;

struct PractiseDays {
    int week = 0;   // days with a graded run from this week's Monday to today
    int month = 0;  // from the first of this month to today

    bool operator==(const PractiseDays&) const = default;
};

// What the progress page shows besides the chart.
struct ProgressSummary {
    std::array<int, 29> runsPerKey{};  // of one system and pairing, by key index
    std::vector<HistoryRun> lastRuns;  // of the same, newest first
    PractiseDays days;                 // of every system and pairing

    bool operator==(const ProgressSummary&) const = default;
};

// What About Tarvel tells of the history.
struct HistorySummary {
    std::string file;  // its full path
    bool exists = false;
    std::uintmax_t bytes = 0;  // the file with its write-ahead log
    std::size_t runs = 0;
};

class HistoryStore {
public:
    virtual ~HistoryStore() = default;
    // Keeps one graded run, whole or not at all. False when it could not.
    virtual bool add(const HistoryRun& run) = 0;
    // The runs of one system and pairing (every run when both are empty),
    // oldest first; nullopt when the history cannot be read.
    virtual std::optional<std::vector<HistoryRun>> runs(std::string_view system = {},
                                                        std::string_view pairing = {}) = 0;
    // What the pages show, each worked out without reading every run, so that
    // a long history costs the window no time; nullopt when the history
    // cannot be read. The key page's badges: each key's best for a system and
    // pairing.
    virtual std::optional<BestPerKey> best(std::string_view system, std::string_view pairing) = 0;
    // The progress page: the runs per key and the last `count` runs of a
    // system and pairing, and the days practised up to `today`.
    virtual std::optional<ProgressSummary> progress(std::string_view system, std::string_view pairing,
                                                    const CalendarDate& today, std::size_t count) = 0;
    // The chart of one key: each day's best grade at each tempo.
    virtual std::optional<ChartData> chart(std::string_view system, std::string_view pairing, std::string_view key) = 0;
    // What the player should be told about the history since the last call
    // (it could not be written, a damaged file was put aside); each once.
    virtual std::vector<std::string> takeMessages() = 0;
    // Its file and how many runs it keeps; nullopt when it cannot be read.
    virtual std::optional<HistorySummary> summary() { return std::nullopt; }
    // False for the history of a program given none.
    virtual bool keepsRuns() const { return true; }
};

// Keeps nothing: the history of a program that was given none. Nothing can be
// read from it either, and it has nothing to say.
class NoHistory final : public HistoryStore {
public:
    bool add(const HistoryRun&) override { return false; }
    std::optional<std::vector<HistoryRun>> runs(std::string_view = {}, std::string_view = {}) override {
        return std::nullopt;
    }
    std::optional<BestPerKey> best(std::string_view, std::string_view) override { return std::nullopt; }
    std::optional<ProgressSummary> progress(std::string_view, std::string_view, const CalendarDate&,
                                            std::size_t) override {
        return std::nullopt;
    }
    std::optional<ChartData> chart(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::vector<std::string> takeMessages() override { return {}; }
    bool keepsRuns() const override { return false; }
};

}  // namespace tarvel
