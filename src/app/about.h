// What About Tarvel says: the version, the licence, where the data folder is
// and what the history holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "history/history_store.h"

namespace tarvel {

// The program's version, as the build names it.
std::string_view programVersion();

// "812 バイト", "48 KB", "1.2 MB".
std::string sizeText(std::uintmax_t bytes);

// The text of the About page. `history` is nullopt when the history cannot
// be read, `historyKept` false when the program keeps none.
std::string aboutText(const std::string& dataFolder, bool historyKept, const std::optional<HistorySummary>& history);

}  // namespace tarvel
