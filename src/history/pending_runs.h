// Graded runs waiting to be added to the history while another program holds
// its write lock: kept in a file beside it, replaced whole at each change, so
// that none is lost when the program closes or is killed first; the next
// program to reach the history adds them, in order. Each has a token of its
// own, kept with it in the history, so that it is added once even when a
// program dies between adding it and taking it out of the file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "history/history_store.h"

namespace tarvel {

struct QueuedRun {
    std::string token;  // unique: 16 hex digits of chance and the time
    HistoryRun run;

    bool operator==(const QueuedRun&) const = default;
};

// The file's text: a first line naming the format, then one run a line with
// its kind and notes. A file of the first format (no kind, no notes) is read too.
std::string pendingText(const std::vector<QueuedRun>& runs);
// The runs of a file's text, in order; lines that cannot be read are left out.
std::vector<QueuedRun> readPendingText(const std::string& text);
// A token no other queued run has.
std::string newToken();

class PendingRuns {
public:
    // The file beside the history: "tarvel-history-pending.txt".
    explicit PendingRuns(const std::filesystem::path& historyFile);

    const std::filesystem::path& file() const { return file_; }
    // Whether any run waits (a look at the folder, no lock).
    bool any() const;
    // Holds the folder's lock while the file is read and changed, against
    // other programs doing the same; released with the object.
    class Lock {
    public:
        explicit Lock(const std::filesystem::path& folder);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        int fd_ = -1;
    };
    Lock lock() const { return Lock(file_.parent_path()); }

    // Under the lock: the runs waiting, and replacing them all (none: the
    // file goes). An error text, or empty.
    std::vector<QueuedRun> read() const;
    std::string write(const std::vector<QueuedRun>& runs) const;

private:
    std::filesystem::path file_;
};

}  // namespace tarvel
