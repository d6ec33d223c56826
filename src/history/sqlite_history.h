// The history in an SQLite file in the data folder, beside "system":
// one transaction per graded run, write-ahead logging so that a crash or a
// kill loses at most the run being written, and a short wait for a second
// program that is writing at the same time, after which the run waits in a
// queue beside the history (never lost, added in order once the lock is free).
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "history/history_store.h"
#include "history/pending_runs.h"

struct sqlite3;

namespace tarvel {

// Whether a path, relative to the data folder, is the history, one of its log
// files, a history put aside or an export of it: the player's, never the data set's.
bool isHistoryFile(const std::filesystem::path& relative);

class SqliteHistory : public HistoryStore {
public:
    static constexpr const char* kFileName = "tarvel-history.sqlite";
    static constexpr int kSchemaVersion = 4;
    static constexpr int kApplicationId = 0x5452564C;  // "TRVL"
    static constexpr int kSchemaWaitMs = 2000;         // for a second Tarvel making or upgrading the schema
    // The longest a graded run waits for another program's write lock; then
    // it is queued beside the history and added when the lock is free.
    static constexpr int kWriteWaitMs = 40;
    static constexpr auto kRetryEvery = std::chrono::milliseconds(100);
    // Taking a run back waits longer: the player has just asked for it.
    static constexpr int kRemoveWaitMs = 500;

    // Opens the file when it is first needed, not here.
    explicit SqliteHistory(std::filesystem::path file);
    // Opens and checks the file now, on a thread of its own: checking a long
    // history takes a while, and the first page that needs it then finds it
    // ready (or waits only for the rest of the check).
    void prepare();
    ~SqliteHistory() override;
    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    // True when the run is kept: written, or queued while another program
    // holds the write lock (never longer than kWriteWaitMs on this thread).
    bool add(const HistoryRun& run) override;
    std::optional<std::vector<HistoryRun>> runs(std::string_view system = {}, std::string_view pairing = {},
                                                bool withNotes = false) override;
    std::optional<std::vector<NoteDay>> noteDays(std::string_view system, std::string_view pairing,
                                                 std::string_view fromDay) override;
    std::optional<std::vector<KeyPractice>> keyPractice(std::string_view system, std::string_view pairing) override;
    bool remove(std::int64_t runId) override;
    std::optional<BestPerKey> best(std::string_view system, std::string_view pairing) override;
    std::optional<ProgressSummary> progress(std::string_view system, std::string_view pairing,
                                            const CalendarDate& today, std::size_t count) override;
    std::optional<ChartData> chart(std::string_view system, std::string_view pairing, std::string_view key) override;
    std::vector<std::string> takeMessages() override;
    std::optional<HistorySummary> summary() override;
    // The queries behind best, progress, chart, noteDays and keyPractice, for
    // checking their plans.
    static std::vector<std::string> pageQueries();

    const std::filesystem::path& file() const { return file_; }

private:
    enum class Verdict { Ours, Fresh, Foreign, Damaged, Unreadable };
    bool ensureOpen();
    bool openFile(bool allowPutAside);
    bool openReadOnly(const std::string& whyNotWritten);
    Verdict inspect(int& version, std::string& detail);
    bool migrate(std::string& detail);
    bool putAside(const char* reason);
    void close();
    void tell(const std::string& message, std::string key);
    int insert(const HistoryRun& run, const std::string& token);
    // Runs `work` in one write transaction: all of it kept, or nothing.
    // SQLITE_OK, or the code that stopped it (`detail` then says why).
    int inTransaction(const std::function<int()>& work, std::string& detail);
    void cannotAdd(int rc, const std::string& detail);
    bool queue(const HistoryRun& run);
    bool addWaiting(int waitMs);
    void startRetrying();
    bool nothingKept();
    std::nullopt_t cannotRead();

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    std::string whyReadOnly_;  // what kept it from being opened for writing
    bool leftAlone_ = false;   // a link, or written by a newer Tarvel: never read nor written
    std::vector<std::string> messages_;
    std::string lastProblem_;  // a problem is told once, until things work again

    // Runs queued while another program held the write lock, and the thread
    // that adds them. The mutex guards everything above, which the thread uses too.
    PendingRuns pending_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread retrier_;
    std::thread opener_;
    bool retrying_ = false;
    bool stopping_ = false;
};

}  // namespace tarvel
