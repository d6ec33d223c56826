// A history that keeps runs in memory and records every call; a test can make
// it fail to write or to read.
#pragma once

#include <functional>
#include <utility>

#include "history/history_store.h"
#include "history/progress.h"

namespace tarvel::test {

class RecordingHistory : public HistoryStore {
public:
    std::vector<HistoryRun> kept;
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
        return true;
    }
    std::optional<std::vector<HistoryRun>> runs(std::string_view system, std::string_view pairing) override {
        calls.push_back(system.empty() ? "runs" : "runs " + std::string(system) + " " + std::string(pairing));
        if (failReads) return std::nullopt;
        if (system.empty() && pairing.empty()) return kept;
        std::vector<HistoryRun> some;
        for (const HistoryRun& run : kept)
            if (run.system == system && run.pairing == pairing) some.push_back(run);
        return some;
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
        return progressSummary(kept, system, pairing, today, count);
    }
    std::optional<ChartData> chart(std::string_view system, std::string_view pairing, std::string_view key) override {
        calls.push_back("chart " + std::string(system) + " " + std::string(pairing) + " " + std::string(key));
        if (failReads) return std::nullopt;
        std::vector<HistoryRun> some;
        for (const HistoryRun& run : kept)
            if (run.system == system && run.pairing == pairing) some.push_back(run);
        return gradeChart(some, key);
    }
    std::vector<std::string> takeMessages() override { return std::exchange(pendingMessages, {}); }
    std::optional<HistorySummary> summary() override {
        if (failReads) return std::nullopt;
        return HistorySummary{"/data/tarvel-history.sqlite", !kept.empty(), 4096 * kept.size(), kept.size()};
    }
};

}  // namespace tarvel::test
