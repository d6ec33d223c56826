// What the key page and the progress page make of the history: pure
// functions of the runs, so that tests call them directly.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_store.h"
#include "keys/key_table.h"
#include "ui/window.h"

namespace tarvel {

struct BestResult {
    int gradeNo = 0;
    std::string grade;  // "ＡＡＡ"
    std::string tempo;  // the tempo it was reached at, "340"
};

// Each key's best grade for one system and pairing, by key index; nullopt for
// a key never graded there. The same grade at several tempi counts at the
// fastest of them, reached first.
using BestPerKey = std::array<std::optional<BestResult>, Key_tbl.size()>;
BestPerKey bestPerKey(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing);
// The badge on a key button: "ＡＡＡ ♩340".
std::string badgeText(const BestResult& best);

struct PractiseDays {
    int week = 0;   // days with a graded run from this week's Monday to today
    int month = 0;  // from the first of this month to today
};
PractiseDays daysPractised(const std::vector<HistoryRun>& runs, const CalendarDate& today);

// The key the progress page shows first: the key played (graded) last, else
// the key chosen last, else the first key.
int preselectedKey(const std::vector<HistoryRun>& runs, std::string_view currentKey);

// The grades of one key over time, one line per tempo from the slowest.
ChartData gradeChart(const std::vector<HistoryRun>& runs, std::string_view key);

// The last `count` runs, newest first.
TableData lastRunsTable(const std::vector<HistoryRun>& runs, std::size_t count);

// Every run as CSV: UTF-8 with a byte order mark (so that spreadsheets read the
// Japanese right), a header row, CRLF line ends, fields quoted where needed.
std::string csvText(const std::vector<HistoryRun>& runs);

// "2026-12-07 14:03:05"
std::string playedAtText(const CalendarDate& date, int hour, int minute, int second);
// "tarvel-history-2026-12-07.csv"
std::string exportFileName(const CalendarDate& date);

// What the answers mean: "ミスなし" for "0" up to "ミス6回以上" for "3".
std::string_view answerWords(std::string_view answer);

}  // namespace tarvel
