#include "data/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "data/data_paths.h"
#include "data/text_lines.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxTextFileBytes = std::uintmax_t{16} * 1024 * 1024;

std::string errnoText(int error) { return std::generic_category().message(error); }

}  // namespace

LocalFileSystem::LocalFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

fs::path LocalFileSystem::resolve(const std::string& dataPath) const { return root_ / nativePath(dataPath); }

TextFile LocalFileSystem::readText(const std::string& dataPath) {
    TextFile result;
    const fs::path path = resolve(dataPath);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        result.error = fs::exists(path, ec) ? "not an ordinary file" : "no such file";
        return result;
    }
    if (fs::file_size(path, ec) > kMaxTextFileBytes) {
        result.error = "larger than 16 MiB";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = errnoText(errno);
        return result;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        result.error = "read error";
        return result;
    }
    result.lines = splitLines(bytes);
    result.ok = true;
    return result;
}

std::optional<std::vector<std::string>> ordinaryFiles(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code typeError;
        if (it->is_regular_file(typeError)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string LocalFileSystem::firstOrdinaryFile(const std::string& dataDir) {
    const auto names = ordinaryFiles(resolve(dataDir));
    return names && !names->empty() ? names->front() : std::string();
}

FileResult LocalFileSystem::createFolder(const std::string& dataDir) {
    std::error_code ec;
    fs::create_directories(resolve(dataDir), ec);
    if (ec) return {FileResult::Failed, ec.message()};
    return {};
}

FileResult LocalFileSystem::createFile(const std::string& dataDir, const std::string& name) {
    const fs::path path = resolve(dataDir) / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        return {error == EEXIST ? FileResult::AlreadyExists : FileResult::Failed, errnoText(error)};
    }
    ::close(fd);
    return {};
}

FileResult LocalFileSystem::rename(const std::string& dataDir, const std::string& from, const std::string& to) {
    const fs::path dir = resolve(dataDir);
    const fs::path source = dir / from;
    const fs::path target = dir / to;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return {};
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // A file system without no-replace renames: a hard link never replaces
        // either, and the old name goes only once the new one stands.
        if (::link(source.c_str(), target.c_str()) == 0) {
            ::unlink(source.c_str());
            return {};
        }
        error = errno;
    }
    return {error == EEXIST ? FileResult::AlreadyExists : FileResult::Failed, errnoText(error)};
}

FileResult LocalFileSystem::writeFile(const std::string& dataPath, const std::string& bytes) {
    const fs::path target = resolve(dataPath);
    fs::path temporary = target;
    temporary += ".tarvel-new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return {FileResult::Failed, errnoText(errno)};
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            const int error = errno;
            std::error_code ec;
            fs::remove(temporary, ec);
            return {FileResult::Failed, errnoText(error)};
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {FileResult::Failed, ec.message()};
    }
    return {};
}

std::string LocalFileSystem::location(const std::string& dataPath) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(resolve(dataPath), ec);
    return (ec ? resolve(dataPath) : absolute.lexically_normal()).string();
}

}  // namespace tarvel
