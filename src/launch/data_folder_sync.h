// Brings a player's data folder up to date from the installed data set:
// pictures, charts and exercises are copied in or replaced; result records
// and the history are never touched, and a result folder without a record gets
// the initial one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel {

struct SyncReport {
    int copied = 0;        // files written (new or changed)
    int recordsAdded = 0;  // initial records given to folders that had none
    std::vector<std::string> errors;
};

SyncReport syncDataFolder(const std::filesystem::path& templateRoot, const std::filesystem::path& dataRoot);

}  // namespace tarvel
