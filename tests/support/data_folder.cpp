#include "support/data_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "data/data_paths.h"

namespace tarvel::test {

namespace fs = std::filesystem;

DataFolder::DataFolder() {
    std::string pattern = (fs::temp_directory_path() / "tarvel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    root_ = pattern;
}

DataFolder::~DataFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

fs::path DataFolder::path(const std::string& dataPath) const { return root_ / nativePath(dataPath); }

void DataFolder::write(const std::string& dataPath, const std::string& bytes) const {
    const fs::path file = path(dataPath);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

void DataFolder::writeLines(const std::string& dataPath, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    write(dataPath, bytes);
}

void DataFolder::makeFolder(const std::string& dataPath) const { fs::create_directories(path(dataPath)); }

std::vector<std::string> DataFolder::names(const std::string& dataDir) const {
    std::vector<std::string> result;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path(dataDir), ec))
        result.push_back(entry.path().filename().string());
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<std::string> exerciseLines(const std::string& keyLine, const std::vector<std::string>& notes) {
    std::vector<std::string> lines{keyLine};
    lines.insert(lines.end(), notes.begin(), notes.end());
    lines.emplace_back("");
    return lines;
}

std::vector<std::string> scaleNotes(int count) {
    static const std::vector<std::string> scale{"2cn0", "2dn0", "2en0", "2fn0", "2gn0", "2an0", "2bn0", "3cn0"};
    std::vector<std::string> notes;
    for (int i = 0; i < count; ++i) notes.push_back(scale[i % scale.size()]);
    return notes;
}

}  // namespace tarvel::test
