// A history that keeps runs in memory and records every call; a test can make
// it fail to write or to read.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>

#include "history/history_store.h"
#include "history/progress.h"

namespace tarvel::test {

class RecordingHistory : public HistoryStore {
public:
    std::vector<HistoryRun> kept;
    std::vector<std::int64_t> ids;  // of the runs kept, one each
    std::int64_t nextId = 1;
    std::vector<std::string>
        calls;  // "add S01 ＡＡ", "runs Boe BB", "runs", "best Boe BB", "progress Boe BB", "chart Boe BB S01"
    bool failWrites = false;
    bool failReads = false;
    std::vector<std::string> pendingMessages;
    std::function<void(const HistoryRun&)> onAdd;  // sees the world as it is when a run is kept

    bool add(const HistoryRun& run) override {
        calls.push_back("add " + run.key + " " + run.grade);
        if (onAdd) onAdd(run);
        if (failWrites) {
            pendingMessages.push_back("cannot write the history");
            return false;
        }
        kept.push_back(run);
        ids.push_back(nextId++);
        return true;
    }
    std::optional<std::vector<HistoryRun>> runs(std::string_view system, std::string_view pairing,
                                                bool withNotes) override {
        calls.push_back(system.empty() ? "runs" : "runs " + std::string(system) + " " + std::string(pairing));
        if (failReads) return std::nullopt;
        std::vector<HistoryRun> some;
        for (const HistoryRun& run : kept) {
            if (!(system.empty() && pairing.empty()) && (run.system != system || run.pairing != pairing)) continue;
            some.push_back(run);
            if (!withNotes) some.back().notes.clear();
        }
        return some;
    }
    std::optional<std::vector<NoteDay>> noteDays(std::string_view system, std::string_view pairing,
                                                 std::string_view fromDay) override {
        calls.push_back("noteDays " + std::string(system) + " " + std::string(pairing) + " " + std::string(fromDay));
        if (failReads) return std::nullopt;
        return noteDaysOf(kept, system, pairing, fromDay);
    }
    std::optional<std::vector<KeyPractice>> keyPractice(std::string_view system, std::string_view pairing) override {
        calls.push_back("keyPractice " + std::string(system) + " " + std::string(pairing));
        if (failReads) return std::nullopt;
        return keyPracticeOf(kept, system, pairing);
    }
    bool remove(std::int64_t runId) override {
        calls.push_back("remove " + std::to_string(runId));
        syncIds();
        const auto at = std::find(ids.begin(), ids.end(), runId);
        if (failWrites || at == ids.end()) {
            pendingMessages.push_back("cannot take the run back");
            return false;
        }
        kept.erase(kept.begin() + (at - ids.begin()));
        ids.erase(at);
        return true;
    }
    std::optional<BestPerKey> best(std::string_view system, std::string_view pairing) override {
        calls.push_back("best " + std::string(system) + " " + std::string(pairing));
        if (failReads) return std::nullopt;
        return bestPerKey(kept, system, pairing);
    }
    std::optional<ProgressSummary> progress(std::string_view system, std::string_view pairing,
                                            const CalendarDate& today, std::size_t count) override {
        calls.push_back("progress " + std::string(system) + " " + std::string(pairing));
        if (failReads) return std::nullopt;
        syncIds();
        ProgressSummary summary = progressSummary(kept, system, pairing, today, count);
        for (std::int64_t& id : summary.lastRunIds) id = ids[static_cast<std::size_t>(id - 1)];
        return summary;
    }
    std::optional<ChartData> chart(std::string_view system, std::string_view pairing, std::string_view key) override {
        calls.push_back("chart " + std::string(system) + " " + std::string(pairing) + " " + std::string(key));
        if (failReads) return std::nullopt;
        std::vector<HistoryRun> some;
        for (const HistoryRun& run : kept)
            if (run.system == system && run.pairing == pairing) some.push_back(run);
        return gradeChart(some, key);
    }
    // Runs a test put into `kept` itself get their ids here.
    void syncIds() {
        while (ids.size() < kept.size()) ids.push_back(nextId++);
    }
    std::vector<std::string> takeMessages() override { return std::exchange(pendingMessages, {}); }
    std::optional<HistorySummary> summary() override {
        if (failReads) return std::nullopt;
        return HistorySummary{"/data/tarvel-history.sqlite", !kept.empty(), 4096 * kept.size(), kept.size()};
    }
};

}  // namespace tarvel::test
