#include "history/pending_runs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>

#include "data/file_system.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// The first format had no kind and no notes: a file of it, left by an earlier
// version, is still read.
constexpr const char* kHeader = "Tarvel queued runs 2";
constexpr const char* kFirstHeader = "Tarvel queued runs 1";
constexpr std::size_t kFirstFields = 10;
constexpr std::size_t kFields = 12;
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

// A run's notes in one field: "place,written,line,verdict,extra,cents" each,
// separated by ";" (cents empty when not measured).
std::string notesField(const std::vector<HeardNote>& notes) {
    std::string field;
    for (const HeardNote& n : notes) {
        if (!field.empty()) field += ';';
        field += std::to_string(n.place) + ',' + std::to_string(n.written) + ',' + std::to_string(n.chartLine) + ',' +
                 n.verdict + ',' + (n.extraBefore ? '1' : '0') + ',';
        if (n.cents) {
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, *n.cents).ptr;  // shortest exact
            field.append(text, end);
        }
    }
    return field;
}

std::optional<int> signedNumber(const std::string& text) {
    if (!text.empty() && text[0] == '-') {
        const std::optional<int> n = number(text.substr(1));
        return n ? std::optional(-*n) : std::nullopt;
    }
    return number(text);
}

std::optional<std::vector<HeardNote>> notesOf(const std::string& field) {
    std::vector<HeardNote> notes;
    if (field.empty()) return notes;
    for (const std::string& item : split(field, ';')) {
        const std::vector<std::string> f = split(item, ',');
        if (f.size() != 6 || f[3].size() != 1 || std::string_view("ox-").find(f[3][0]) == std::string_view::npos ||
            (f[4] != "0" && f[4] != "1"))
            return std::nullopt;
        const std::optional<int> place = number(f[0]), written = signedNumber(f[1]), line = signedNumber(f[2]);
        if (!place || !written || !line) return std::nullopt;
        HeardNote& n = notes.emplace_back();
        n.place = *place;
        n.written = static_cast<std::int16_t>(*written);
        n.chartLine = static_cast<std::int16_t>(*line);
        n.verdict = f[3][0];
        n.extraBefore = f[4] == "1";
        if (!f[5].empty()) {
            double cents = 0;
            const auto [end, error] = std::from_chars(f[5].data(), f[5].data() + f[5].size(), cents);
            if (error != std::errc() || end != f[5].data() + f[5].size()) return std::nullopt;
            n.cents = cents;
        }
    }
    return notes;
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
        text += (r.heardSlips ? std::to_string(*r.heardSlips) : std::string()) + "\t";
        text += escaped(r.kind) + "\t" + notesField(r.notes) + "\n";
    }
    return text;
}

std::vector<QueuedRun> readPendingText(const std::string& text) {
    std::vector<QueuedRun> runs;
    const std::vector<std::string> lines = split(text, '\n');
    if (lines.empty() || (lines[0] != kHeader && lines[0] != kFirstHeader)) return runs;
    const std::size_t fields = lines[0] == kHeader ? kFields : kFirstFields;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], '\t');
        if (f.size() != fields || f[0].empty()) continue;  // cut short by a crash, say
        const std::optional<int> gradeNo = number(f[8]);
        const std::optional<int> heard = number(f[9]);
        if (!gradeNo || (!f[9].empty() && !heard)) continue;
        HistoryRun run;
        run.playedAt = unescaped(f[1]);
        run.system = unescaped(f[2]);
        run.pairing = unescaped(f[3]);
        run.key = unescaped(f[4]);
        run.tempo = unescaped(f[5]);
        run.answer = unescaped(f[6]);
        run.grade = unescaped(f[7]);
        run.gradeNo = *gradeNo;
        run.heardSlips = heard;
        if (fields == kFields) {
            std::optional<std::vector<HeardNote>> notes = notesOf(f[11]);
            if (!notes) continue;
            run.kind = unescaped(f[10]);
            run.notes = std::move(*notes);
        }
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
