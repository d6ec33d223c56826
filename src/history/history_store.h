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

#include "drill/practice_log.h"
#include "ui/window.h"

namespace tarvel {

// One note of a heard run, as the program judged it: nothing but its verdict.
struct HeardNote {
    int place = 0;                // in the exercise, from 0
    std::int16_t written = 0;     // the written note, as the exercise codes it (Onp_code)
    std::int16_t chartLine = 0;   // the fingering it was asked with (its line in the chart)
    char verdict = 'o';           // 'o' right, 'x' a wrong note, '-' not heard
    bool extraBefore = false;     // an extra note was heard just before it
    std::optional<double> cents;  // a right note's median deviation after its attack

    bool missed() const { return verdict != 'o' || extraBefore; }
    bool operator==(const HeardNote&) const = default;
};

inline constexpr std::string_view kKeyRun = "key";      // an exercise of the data set, graded per key
inline constexpr std::string_view kDrillRun = "drill";  // the weak-notes drill: kept only in the history

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
    std::string kind{kKeyRun};     // kKeyRun or kDrillRun
    std::vector<HeardNote> notes;  // of a heard run; read back only when asked for

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
    std::array<int, 29> runsPerKey{};      // of one system and pairing, by key index
    std::vector<HistoryRun> lastRuns;      // of the same, newest first, key runs and drills
    std::vector<std::int64_t> lastRunIds;  // each one's id, for taking it back
    PractiseDays days;                     // of every system and pairing

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
    virtual std::optional<std::vector<HistoryRun>> runs(std::string_view system = {}, std::string_view pairing = {},
                                                        bool withNotes = false) = 0;
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
    // The heard notes of a system and pairing, per written note and day, from
    // `fromDay` ("2026-11-08") on; key runs and drills alike.
    virtual std::optional<std::vector<NoteDay>> noteDays(std::string_view system, std::string_view pairing,
                                                         std::string_view fromDay) = 0;
    // Per key graded (key runs only): the last day and the best grade.
    virtual std::optional<std::vector<KeyPractice>> keyPractice(std::string_view system, std::string_view pairing) = 0;
    // Takes a run back (its id from `progress`), with its notes, as if it had
    // never been kept. False when it could not (takeMessages says why).
    virtual bool remove(std::int64_t runId) = 0;
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
    std::optional<std::vector<HistoryRun>> runs(std::string_view = {}, std::string_view = {}, bool = false) override {
        return std::nullopt;
    }
    std::optional<std::vector<NoteDay>> noteDays(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::vector<KeyPractice>> keyPractice(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    bool remove(std::int64_t) override { return false; }
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
