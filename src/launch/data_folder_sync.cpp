#include "launch/data_folder_sync.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "data/file_system.h"
#include "data/result_record.h"
#include "history/sqlite_history.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

bool sameContents(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y));
}

// Writes beside the target, then renames: a file is never half written.
void copyAtomically(const fs::path& from, const fs::path& to, SyncReport& report) {
    fs::path temporary = to;
    temporary += ".tarvel-new";
    std::error_code ec;
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(temporary, to, ec);
    if (ec) {
        fs::remove(temporary, ec);
        report.errors.push_back("cannot write " + to.string() + ": " + ec.message());
        return;
    }
    ++report.copied;
}

std::string dataPathOf(const fs::path& relative) {
    std::string path;
    for (const auto& part : relative) path += (path.empty() ? "" : "\\") + part.string();
    return path + "\\";
}

}  // namespace

SyncReport syncDataFolder(const fs::path& templateRoot, const fs::path& dataRoot) {
    SyncReport report;
    LocalFileSystem data(dataRoot);
    std::error_code ec;
    fs::recursive_directory_iterator it(templateRoot, ec);
    if (ec) {
        report.errors.push_back("cannot read the data set " + templateRoot.string() + ": " + ec.message());
        return report;
    }
    fs::create_directories(dataRoot, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(templateRoot);
        const fs::path target = dataRoot / relative;
        std::error_code entryError;
        if (it->is_directory(entryError)) {
            fs::create_directories(target, entryError);
            if (entryError) report.errors.push_back("cannot make " + target.string() + ": " + entryError.message());
            continue;
        }
        if (!it->is_regular_file(entryError) || isHistoryFile(relative)) continue;
        if (isResultFolder(relative.parent_path())) {
            // The player's record: only a folder without one gets the initial record.
            if (data.firstOrdinaryFile(dataPathOf(relative.parent_path())).empty()) {
                fs::copy_file(it->path(), target, fs::copy_options::skip_existing, entryError);
                if (entryError)
                    report.errors.push_back("cannot write " + target.string() + ": " + entryError.message());
                else
                    ++report.recordsAdded;
            }
            continue;
        }
        if (!fs::exists(target, entryError) || !sameContents(it->path(), target))
            copyAtomically(it->path(), target, report);
    }
    if (ec) report.errors.push_back("cannot read the data set " + templateRoot.string() + ": " + ec.message());
    return report;
}

}  // namespace tarvel
