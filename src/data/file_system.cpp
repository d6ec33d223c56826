#include "data/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "data/data_paths.h"
#include "data/text_lines.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxTextFileBytes = std::size_t{16} * 1024 * 1024;

// Holds an open folder, locked with flock until it is closed.
class LockedFolder : public FolderLock {
public:
    explicit LockedFolder(int fd) : fd_(fd) {}
    ~LockedFolder() override { ::close(fd_); }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

private:
    int fd_;
};

FileResult failure(int error) {
    return {error == EEXIST ? FileResult::AlreadyExists : FileResult::Failed, errorText(error)};
}

FileResult throughLink() { return {FileResult::ThroughLink, errorText(ELOOP)}; }

}  // namespace

std::string errorText(int error) {
    switch (error) {
    case ENOENT: return "見つかりません";
    case EACCES:
    case EPERM: return "アクセスが許可されていません";
    case EROFS: return "読み取り専用のファイルシステムです";
    case ENOSPC:
    case EDQUOT: return "ディスクに空きがありません";
    case ENOTDIR: return "途中の名前がフォルダではありません";
    case EISDIR: return "ファイルではなくフォルダです";
    case EIO: return "読み書きのエラーです（I/O エラー）";
    case ELOOP: return "シンボリックリンクを通っています";
    case EEXIST: return "同じ名前のファイルがすでにあります";
    case EFBIG: return "大きすぎるファイルです";
    case ENXIO: return "ふつうのファイルではありません";
    case ENAMETOOLONG: return "名前が長すぎます";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case EBUSY: return "ほかのプログラムが使用中です";
    default: return "システムのエラー " + std::to_string(error) + "（" + std::strerror(error) + "）";
    }
}

std::string errorText(int error, std::size_t limitBytes) {
    if (error != EFBIG) return errorText(error);
    constexpr std::size_t kMiB = std::size_t{1024} * 1024;
    return std::to_string(limitBytes / kMiB) + " MiB より大きなファイルです";
}

int readWholeFile(const fs::path& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that opening a named pipe does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = ENXIO;
    // The size a file reports is not trusted (files of /proc report 0): read
    // to the end, but never more than one byte beyond the limit.
    char buffer[65536];
    while (error == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > limit) {
            error = EFBIG;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (error != 0) bytes.clear();
    return error;
}

LocalFileSystem::LocalFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

fs::path LocalFileSystem::resolve(const std::string& dataPath) const { return root_ / nativePath(dataPath); }

TextFile LocalFileSystem::readText(const std::string& dataPath) {
    TextFile result;
    std::string bytes;
    if (const int error = readWholeFile(resolve(dataPath), kMaxTextFileBytes, bytes); error != 0) {
        result.error = errorText(error, kMaxTextFileBytes);
        return result;
    }
    result.lines = splitLines(bytes);
    result.ok = true;
    return result;
}

namespace {

struct Listed {
    std::string name;
    struct timespec changed {};
};

std::optional<std::vector<Listed>> listOrdinaryFiles(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<Listed> files;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        files.push_back(Listed{name, info.st_ctim});
    }
    return files;
}

std::vector<std::string> namesOf(const std::vector<Listed>& files) {
    std::vector<std::string> names;
    names.reserve(files.size());
    for (const Listed& f : files) names.push_back(f.name);
    return names;
}

}  // namespace

std::optional<std::vector<std::string>> ordinaryFiles(const fs::path& folder) {
    auto files = listOrdinaryFiles(folder);
    if (!files) return std::nullopt;
    std::sort(files->begin(), files->end(), [](const Listed& a, const Listed& b) { return a.name < b.name; });
    return namesOf(*files);
}

std::optional<std::vector<std::string>> ordinaryFilesRecordFirst(const fs::path& folder) {
    auto files = listOrdinaryFiles(folder);
    if (!files) return std::nullopt;
    // Grading renames the record, which makes it the file changed last: the
    // record just written stays the record, and any other file is left alone.
    std::sort(files->begin(), files->end(), [](const Listed& a, const Listed& b) {
        if (a.changed.tv_sec != b.changed.tv_sec) return a.changed.tv_sec > b.changed.tv_sec;
        if (a.changed.tv_nsec != b.changed.tv_nsec) return a.changed.tv_nsec > b.changed.tv_nsec;
        return a.name < b.name;
    });
    return namesOf(*files);
}

std::string FileSystem::firstOrdinaryFile(const std::string& dataDir) {
    const std::vector<std::string> names = recordFiles(dataDir);
    return names.empty() ? std::string() : names.front();
}

std::vector<std::string> LocalFileSystem::recordFiles(const std::string& dataDir) {
    if (reachedThroughLink(dataDir)) return {};
    return ordinaryFilesRecordFirst(resolve(dataDir)).value_or(std::vector<std::string>{});
}

bool LocalFileSystem::reachedThroughLink(const std::string& dataDir) {
    fs::path path = root_;
    bool first = true;
    for (const fs::path& part : nativePath(dataDir)) {
        if (part.empty()) continue;
        path /= part;
        if (first) {  // the "system" folder itself may stand anywhere
            first = false;
            continue;
        }
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return false;
        if (S_ISLNK(info.st_mode)) return true;
    }
    return false;
}

std::unique_ptr<FolderLock> LocalFileSystem::lockFolder(const std::string& dataDir) {
    const int fd = ::open(resolve(dataDir).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // Where the file system has no locks, go on unlocked rather than not record.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {}
    return std::make_unique<LockedFolder>(fd);
}

std::string LocalFileSystem::fullPath(const std::string& dataPath) {
    std::error_code ec;
    fs::path path = fs::absolute(resolve(dataPath), ec).lexically_normal();
    std::string text = path.string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool LocalFileSystem::folderExists(const std::string& dataDir) {
    std::error_code ec;
    return fs::is_directory(resolve(dataDir), ec);
}

bool LocalFileSystem::exists(const std::string& dataPath) {
    struct stat info {};
    return ::lstat(resolve(dataPath).c_str(), &info) == 0;
}

FileResult LocalFileSystem::createFolder(const std::string& dataDir) {
    if (reachedThroughLink(dataDir)) return throughLink();
    std::error_code ec;
    fs::create_directories(resolve(dataDir), ec);
    if (ec) return {FileResult::Failed, errorText(ec.value())};
    return {};
}

FileResult LocalFileSystem::createFile(const std::string& dataDir, const std::string& name) {
    if (reachedThroughLink(dataDir)) return throughLink();
    const fs::path path = resolve(dataDir) / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return failure(errno);
    ::close(fd);
    return {};
}

int LocalFileSystem::renameNoReplace(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int LocalFileSystem::unlinkFile(const char* path) { return ::unlink(path); }

FileResult LocalFileSystem::rename(const std::string& dataDir, const std::string& from, const std::string& to) {
    if (reachedThroughLink(dataDir)) return throughLink();
    const fs::path dir = resolve(dataDir);
    const fs::path source = dir / from;
    const fs::path target = dir / to;
    if (renameNoReplace(source.c_str(), target.c_str()) == 0) return {};
    const int error = errno;
    if (error != EINVAL && error != ENOSYS) return failure(error);
    // A file system without no-replace renames: a hard link never replaces
    // either, and the old name goes only once the new one stands. If the old
    // name cannot go, the new one goes again: one record, never two.
    if (::link(source.c_str(), target.c_str()) != 0) return failure(errno);
    if (unlinkFile(source.c_str()) == 0) return {};
    const int unlinkError = errno;
    unlinkFile(target.c_str());
    return failure(unlinkError);
}

FileResult LocalFileSystem::writeBeside(const fs::path& target, const std::string& bytes,
                                        const std::function<int(const char*, const char*)>& place) {
    // Written under a name of its own beside the target, made with O_EXCL and
    // O_NOFOLLOW, then put in place: never half written, never written
    // through a link planted in the folder, and two programs do not meet.
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path temporary = target;
        temporary += ".tarvel-new-" + std::to_string(random());
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return failure(errno);
        int error = 0;
        for (std::size_t done = 0; error == 0 && done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno != EINTR) error = errno;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error == 0 && place(temporary.c_str(), target.c_str()) != 0) error = errno;
        if (error == 0) return {};
        ::unlink(temporary.c_str());
        return failure(error);
    }
    return failure(EEXIST);
}

FileResult LocalFileSystem::writeFile(const std::string& dataPath, const std::string& bytes) {
    return writeBeside(resolve(dataPath), bytes, [](const char* from, const char* to) { return ::rename(from, to); });
}

FileResult LocalFileSystem::writeNewFile(const std::string& dataPath, const std::string& bytes) {
    return writeBeside(resolve(dataPath), bytes, [this](const char* from, const char* to) {
        if (renameNoReplace(from, to) == 0) return 0;
        if (errno != EINVAL && errno != ENOSYS) return -1;
        // A file system without no-replace renames: a hard link never
        // replaces either.
        if (::link(from, to) != 0) return -1;
        ::unlink(from);
        return 0;
    });
}

std::string LocalFileSystem::location(const std::string& dataPath) { return fullPath(dataPath); }

}  // namespace tarvel
