// A data folder of the test's own in a fresh temporary directory, removed
// again when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

class DataFolder {
public:
    DataFolder();
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // Paths are data paths ("system\onkai\Boe\BB\S01.txt").
    std::filesystem::path path(const std::string& dataPath) const;
    void write(const std::string& dataPath, const std::string& bytes) const;
    // Writes lines, each followed by CR LF.
    void writeLines(const std::string& dataPath, const std::vector<std::string>& lines) const;
    void makeFolder(const std::string& dataPath) const;
    // The names in a folder, sorted (hidden ones too).
    std::vector<std::string> names(const std::string& dataDir) const;

private:
    std::filesystem::path root_;
};

// The lines of an exercise file: the key line, the notes, the end line.
std::vector<std::string> exerciseLines(const std::string& keyLine, const std::vector<std::string>& notes);
// `count` notes cycling through a C major scale from 2c.
std::vector<std::string> scaleNotes(int count);

}  // namespace tarvel::test
