#include "history/pending_runs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>

#include "data/file_system.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "Tarvel queued runs 1";
constexpr std::size_t kMaxBytes = std::size_t{16} * 1024 * 1024;

// Fields never hold a tab or a line end; should one, it is written escaped.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : line) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::optional<int> number(const std::string& text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

int syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error == EINVAL ? 0 : error;  // a file system that cannot sync folders
}

}  // namespace

std::string pendingText(const std::vector<QueuedRun>& runs) {
    std::string text = std::string(kHeader) + "\n";
    for (const QueuedRun& q : runs) {
        const HistoryRun& r = q.run;
        for (const std::string& field :
             {q.token, r.playedAt, r.system, r.pairing, r.key, r.tempo, r.answer, r.grade, std::to_string(r.gradeNo)})
            text += escaped(field) + "\t";
        text += (r.heardSlips ? std::to_string(*r.heardSlips) : std::string()) + "\n";
    }
    return text;
}

std::vector<QueuedRun> readPendingText(const std::string& text) {
    std::vector<QueuedRun> runs;
    const std::vector<std::string> lines = split(text, '\n');
    if (lines.empty() || lines[0] != kHeader) return runs;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], '\t');
        if (f.size() != 10 || f[0].empty()) continue;  // cut short by a crash, say
        const std::optional<int> gradeNo = number(f[8]);
        const std::optional<int> heard = number(f[9]);
        if (!gradeNo || (!f[9].empty() && !heard)) continue;
        HistoryRun run{unescaped(f[1]), unescaped(f[2]), unescaped(f[3]),
                       unescaped(f[4]), unescaped(f[5]), unescaped(f[6]),
                       unescaped(f[7]), *gradeNo,        heard};
        runs.push_back(QueuedRun{unescaped(f[0]), std::move(run)});
    }
    return runs;
}

std::string newToken() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const auto now = static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count());
    char text[40];
    std::snprintf(text, sizeof text, "%016llx-%llx", static_cast<unsigned long long>(random()), now);
    return text;
}

PendingRuns::PendingRuns(const fs::path& historyFile)
    : file_(historyFile.parent_path() / (historyFile.stem().string() + "-pending.txt")) {}

bool PendingRuns::any() const {
    struct stat info {};
    return ::lstat(file_.c_str(), &info) == 0;
}

PendingRuns::Lock::Lock(const fs::path& folder) {
    fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Where the folder cannot be locked, go on unlocked rather than lose a run.
    if (fd_ >= 0)
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {}
}

PendingRuns::Lock::~Lock() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<QueuedRun> PendingRuns::read() const {
    std::string bytes;
    if (readWholeFile(file_, kMaxBytes, bytes) != 0) return {};
    return readPendingText(bytes);
}

std::string PendingRuns::write(const std::vector<QueuedRun>& runs) const {
    std::error_code ec;
    if (runs.empty()) {
        fs::remove(file_, ec);
        return ec ? errorText(ec.value()) : std::string();
    }
    // Written beside it, made safe on the disk, then renamed over it: the
    // file always holds either the runs before or the runs after.
    fs::path temporary = file_;
    temporary += ".new-" + newToken();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return errorText(errno);
    const std::string text = pendingText(runs);
    int error = 0;
    for (std::size_t done = 0; error == 0 && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR) error = errno;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file_.c_str()) != 0) error = errno;
    if (error == 0) error = syncFolder(file_.parent_path());
    if (error != 0) {
        ::unlink(temporary.c_str());
        return errorText(error);
    }
    return {};
}

}  // namespace tarvel
