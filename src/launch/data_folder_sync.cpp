#include "launch/data_folder_sync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

#include "data/file_system.h"
#include "data/result_record.h"
#include "history/sqlite_history.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxDataFileBytes = 64 * 1024 * 1024;

// An open file descriptor, closed with the object.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

// Opens a folder below the data folder, making what is missing, one name at a
// time and never following a symbolic link: whatever a link points to lies
// outside the player's data folder. Sets `error` on failure.
Fd openFolder(const Fd& root, const fs::path& relative, int& error) {
    Fd folder(::dup(root.get()));
    for (const fs::path& part : relative) {
        if (part.empty() || part == ".") continue;
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int fd = ::openat(folder.get(), part.c_str(), flags);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(folder.get(), part.c_str(), 0755) != 0 && errno != EEXIST) {
                error = errno;
                return Fd();
            }
            fd = ::openat(folder.get(), part.c_str(), flags);
        }
        if (fd < 0) {
            error = errno == ENOTDIR ? ELOOP : errno;  // O_NOFOLLOW on a link to a folder gives ENOTDIR
            return Fd();
        }
        folder = Fd(fd);
    }
    return folder;
}

// The bytes of a file in an open folder, if it is an ordinary file (not a link).
bool readAt(const Fd& folder, const std::string& name, std::string& bytes) {
    const Fd file(::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!file.ok()) return false;
    return readWholeFile("/proc/self/fd/" + std::to_string(file.get()), kMaxDataFileBytes, bytes) == 0;
}

int writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Makes a new file that did not exist, with `bytes`; 0 or the system error.
int createAt(const Fd& folder, const std::string& name, const std::string& bytes) {
    const Fd file(::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file.ok()) return errno;
    const int error = writeAll(file.get(), bytes);
    if (error != 0) ::unlinkat(folder.get(), name.c_str(), 0);
    return error;
}

// Writes a file beside the target under a name of its own, then renames it
// over the target: a file is never half written, a planted link is never
// written through, and two launchers at once do not meet.
int replaceAt(const Fd& folder, const std::string& name, const std::string& bytes) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string temporary = "." + name + ".tarvel-new-" + std::to_string(random());
        const int created = createAt(folder, temporary, bytes);
        if (created == EEXIST) continue;
        if (created != 0) return created;
        if (::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) == 0) return 0;
        const int error = errno;
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return error;
    }
    return EEXIST;
}

std::string dataPathOf(const fs::path& relative) {
    std::string path;
    for (const auto& part : relative) path += (path.empty() ? "" : "\\") + part.string();
    return path + "\\";
}

// `cannot` is the verb's form for "cannot": "読め", "開け", "作れ", "書き込め".
std::string cannot(const char* cannotForm, const fs::path& path, int error) {
    return path.string() + " を" + cannotForm + "ません（" + errorText(error, kMaxDataFileBytes) + "）";
}

}  // namespace

SyncReport syncDataFolder(const fs::path& templateRoot, const fs::path& dataRoot) {
    SyncReport report;
    LocalFileSystem data(dataRoot);
    std::error_code ec;
    fs::recursive_directory_iterator it(templateRoot, ec);
    if (ec) {
        report.errors.push_back(cannot("読め", templateRoot, ec.value()) + "。インストールされたデータが読めません");
        return report;
    }
    fs::create_directories(dataRoot, ec);
    const Fd root(::open(dataRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.ok()) {
        report.errors.push_back(cannot("開け", dataRoot, errno));
        return report;
    }
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(templateRoot);
        std::error_code entryError;
        if (it->is_directory(entryError)) {
            int error = 0;
            if (!openFolder(root, relative, error).ok()) {
                report.errors.push_back(error == ELOOP ? (dataRoot / relative).string() +
                                                             " はシンボリックリンクなので、その中には書き込みません"
                                                       : cannot("作れ", dataRoot / relative, error));
                it.disable_recursion_pending();
            }
            continue;
        }
        // The history is the player's, like the records: never copied over.
        if (!it->is_regular_file(entryError) || isHistoryFile(relative)) continue;
        const fs::path target = dataRoot / relative;
        const std::string name = relative.filename().string();
        int error = 0;
        const Fd folder = openFolder(root, relative.parent_path(), error);
        if (!folder.ok()) continue;  // told with the folder itself
        std::string bytes;
        if ((error = readWholeFile(it->path(), kMaxDataFileBytes, bytes)) != 0) {
            report.errors.push_back(cannot("読め", it->path(), error));
            continue;
        }
        if (isResultFolder(relative.parent_path())) {
            // The player's record: only a folder without one gets the initial record.
            if (!data.firstOrdinaryFile(dataPathOf(relative.parent_path())).empty()) continue;
            error = createAt(folder, name, bytes);
            if (error == 0)
                ++report.recordsAdded;
            else if (error != EEXIST)  // EEXIST: another launcher gave it the record just now
                report.errors.push_back(cannot("書き込め", target, error));
            continue;
        }
        std::string current;
        if (readAt(folder, name, current) && current == bytes) continue;
        if ((error = replaceAt(folder, name, bytes)) != 0) {
            report.errors.push_back(cannot("書き込め", target, error));
            continue;
        }
        ++report.copied;
    }
    if (ec) report.errors.push_back(cannot("読め", templateRoot, ec.value()));
    return report;
}

}  // namespace tarvel
