#include "app/about.h"

#include <cstdio>

#include "app/texts.h"

#ifndef TARVEL_VERSION
#define TARVEL_VERSION "unknown"
#endif

namespace tarvel {

std::string_view programVersion() { return TARVEL_VERSION; }

std::string sizeText(std::uintmax_t bytes) {
    char text[32];
    constexpr std::uintmax_t kKilobyte = 1024;
    if (bytes < kKilobyte) {
        std::snprintf(text, sizeof text, "%ju バイト", bytes);
    } else if (bytes < kKilobyte * kKilobyte) {
        std::snprintf(text, sizeof text, "%ju KB", (bytes + 512) / 1024);
    } else {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    }
    return text;
}

std::string aboutText(const std::string& dataFolder, bool historyKept, const std::optional<HistorySummary>& history) {
    std::string about = "Tarvel " + std::string(programVersion()) + "\r\n";
    about += "クラリネットの読譜と運指のドリル\r\n";
    about += std::string(text::kLicence) + "\r\n\r\n";
    about += "データのフォルダ（成績、記録の履歴、CSV の書き出し先）：\r\n" + dataFolder + "\r\n";
    about += "記録の履歴：";
    if (!historyKept)
        about += "つけていません";
    else if (!history)
        about += "読めません";
    else if (!history->exists)
        about += "まだありません（最初の成績で作ります）";
    else
        about += std::to_string(history->runs) + " 回分、" + sizeText(history->bytes);
    return about;
}

}  // namespace tarvel
