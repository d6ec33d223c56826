// The file operations the program needs, on data paths. LocalFileSystem is the
// real one; tests put faults in front of it, the driver traces it.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvel {

struct TextFile {
    bool ok = false;
    std::vector<std::string> lines;  // without their line ends
    std::string error;               // why it could not be read
};

struct FileResult {
    enum Status { Done, AlreadyExists, ThroughLink, Failed } status = Done;
    std::string error;
};

// Held while a folder is locked against other programs changing it.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// The text of a system error for the player, in Japanese.
std::string errorText(int error);
// The same for a file read whole with a limit on its size, which EFBIG names.
std::string errorText(int error, std::size_t limitBytes);

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual TextFile readText(const std::string& dataPath) = 0;
    // The ordinary files of a result folder (no folders, no hidden dot-files),
    // the record first: the file renamed last (latest status change), then by
    // name. Empty when the folder is missing or reached through a symbolic link.
    virtual std::vector<std::string> recordFiles(const std::string& dataDir) = 0;
    // The first of recordFiles, or empty text.
    std::string firstOrdinaryFile(const std::string& dataDir);
    // Whether the folder, or a folder above it below "system", is a symbolic
    // link: such a folder is never written in.
    virtual bool reachedThroughLink(const std::string& dataDir) = 0;
    // Locks a folder against other programs until the lock goes; null when the
    // folder cannot be opened.
    virtual std::unique_ptr<FolderLock> lockFolder(const std::string& dataDir) = 0;
    // The full native path of a data path, for messages.
    virtual std::string fullPath(const std::string& dataPath) = 0;
    virtual bool folderExists(const std::string& dataDir) = 0;
    // Whether anything (a file, a folder, a link) has that name.
    virtual bool exists(const std::string& /*dataPath*/) { return false; }
    virtual FileResult createFolder(const std::string& dataDir) = 0;
    // Creates an empty file; never replaces one.
    virtual FileResult createFile(const std::string& dataDir, const std::string& name) = 0;
    // Renames a file within its folder in one step; never replaces another file.
    virtual FileResult rename(const std::string& dataDir, const std::string& from, const std::string& to) = 0;
    // Writes a whole file, replacing one of that name at once (never a half
    // written file); an export, not a record.
    virtual FileResult writeFile(const std::string& /*dataPath*/, const std::string& /*bytes*/) {
        return {FileResult::Failed, "not supported"};
    }
    // Writes a whole new file; AlreadyExists when one of that name is there,
    // which is never replaced (nor is a half written file ever left).
    virtual FileResult writeNewFile(const std::string& /*dataPath*/, const std::string& /*bytes*/) {
        return {FileResult::Failed, "not supported"};
    }
    // Where a data path is, as the player would look for it.
    virtual std::string location(const std::string& dataPath) { return dataPath; }
};

// The names of a folder's ordinary files (no folders, no hidden dot-files),
// sorted by name; nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> ordinaryFiles(const std::filesystem::path& folder);
// The same, the record first (see FileSystem::recordFiles).
std::optional<std::vector<std::string>> ordinaryFilesRecordFirst(const std::filesystem::path& folder);

// Reads a whole file of at most `limit` bytes through any read error, into
// `bytes`; the system error code, EFBIG when it is larger, or 0.
int readWholeFile(const std::filesystem::path& path, std::size_t limit, std::string& bytes);

class LocalFileSystem : public FileSystem {
public:
    // Data paths are resolved against `root`; the default is the current folder.
    explicit LocalFileSystem(std::filesystem::path root = {});

    // The native path of a data path.
    std::filesystem::path resolve(const std::string& dataPath) const;

    TextFile readText(const std::string& dataPath) override;
    std::vector<std::string> recordFiles(const std::string& dataDir) override;
    bool reachedThroughLink(const std::string& dataDir) override;
    std::unique_ptr<FolderLock> lockFolder(const std::string& dataDir) override;
    std::string fullPath(const std::string& dataPath) override;
    bool folderExists(const std::string& dataDir) override;
    bool exists(const std::string& dataPath) override;
    FileResult createFolder(const std::string& dataDir) override;
    FileResult createFile(const std::string& dataDir, const std::string& name) override;
    FileResult rename(const std::string& dataDir, const std::string& from, const std::string& to) override;
    FileResult writeFile(const std::string& dataPath, const std::string& bytes) override;
    FileResult writeNewFile(const std::string& dataPath, const std::string& bytes) override;
    std::string location(const std::string& dataPath) override;

protected:
    // The system calls a rename makes, so that tests can make them fail.
    virtual int renameNoReplace(const char* from, const char* to);
    virtual int unlinkFile(const char* path);

private:
    // Writes `bytes` under a name of its own beside `target`, then hands it to
    // `place` (a rename of some kind): 0 or the system error.
    FileResult writeBeside(const std::filesystem::path& target, const std::string& bytes,
                           const std::function<int(const char* from, const char* to)>& place);

    std::filesystem::path root_;
};

}  // namespace tarvel
