// The file operations the program needs, on data paths. LocalFileSystem is the
// real one; tests put faults in front of it, the driver traces it.
#pragma once

#include <filesystem>
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
    enum Status { Done, AlreadyExists, Failed } status = Done;
    std::string error;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual TextFile readText(const std::string& dataPath) = 0;
    // The name of the first ordinary file of a folder by name (no folders, no
    // hidden dot-files); empty when the folder is missing or holds none.
    virtual std::string firstOrdinaryFile(const std::string& dataDir) = 0;
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
    // Where a data path is, as the player would look for it.
    virtual std::string location(const std::string& dataPath) { return dataPath; }
};

// The names of a folder's ordinary files (no folders, no hidden dot-files),
// sorted by name; nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> ordinaryFiles(const std::filesystem::path& folder);

class LocalFileSystem : public FileSystem {
public:
    // Data paths are resolved against `root`; the default is the current folder.
    explicit LocalFileSystem(std::filesystem::path root = {});

    // The native path of a data path.
    std::filesystem::path resolve(const std::string& dataPath) const;

    TextFile readText(const std::string& dataPath) override;
    std::string firstOrdinaryFile(const std::string& dataDir) override;
    FileResult createFolder(const std::string& dataDir) override;
    FileResult createFile(const std::string& dataDir, const std::string& name) override;
    FileResult rename(const std::string& dataDir, const std::string& from, const std::string& to) override;
    FileResult writeFile(const std::string& dataPath, const std::string& bytes) override;
    std::string location(const std::string& dataPath) override;

private:
    std::filesystem::path root_;
};

}  // namespace tarvel
