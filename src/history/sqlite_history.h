// The history in an SQLite file in the data folder, beside "system":
// one transaction per graded run, write-ahead logging so that a crash or a
// kill loses at most the run being written, and a wait for a second Tarvel
// that is writing at the same time.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "history/history_store.h"

struct sqlite3;

namespace tarvel {

// Whether a path, relative to the data folder, is the history, one of its log
// files, a history put aside or an export of it: the player's, never the data set's.
bool isHistoryFile(const std::filesystem::path& relative);

class SqliteHistory : public HistoryStore {
public:
    static constexpr const char* kFileName = "tarvel-history.sqlite";
    static constexpr int kSchemaVersion = 1;
    static constexpr int kApplicationId = 0x5452564C;  // "TRVL"
    static constexpr int kBusyTimeoutMs = 2000;
    static constexpr int kSchemaWaitMs = 2000;  // for a second Tarvel making or upgrading the schema

    // Opens the file when it is first needed, not here.
    explicit SqliteHistory(std::filesystem::path file);
    ~SqliteHistory() override;
    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    bool add(const HistoryRun& run) override;
    std::optional<std::vector<HistoryRun>> runs(std::string_view system = {}, std::string_view pairing = {}) override;
    std::vector<std::string> takeMessages() override;

    const std::filesystem::path& file() const { return file_; }

private:
    enum class Verdict { Ours, Fresh, Foreign, Damaged, Unreadable };
    bool ensureOpen();
    bool openFile(bool allowPutAside);
    bool openReadOnly();
    Verdict inspect(int& version, std::string& detail);
    bool migrate(std::string& detail);
    bool putAside(const char* reason);
    void close();
    void tell(const std::string& message, std::string key);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    bool leftAlone_ = false;  // a link, or written by a newer Tarvel: never read nor written
    std::vector<std::string> messages_;
    std::string lastProblem_;  // a problem is told once, until things work again
};

}  // namespace tarvel
