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

// Each key's best grade for one system and pairing, by key index; nullopt for
// a key never graded there. The same grade at several tempi counts at the
// fastest of them.
BestPerKey bestPerKey(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing);
// The badge on a key button: "ＡＡＡ ♩340".
std::string badgeText(const BestResult& best);

PractiseDays daysPractised(const std::vector<HistoryRun>& runs, const CalendarDate& today);
// The first day whose runs count for daysPractised: this week's Monday or the
// first of this month, whichever is earlier ("2026-11-30").
std::string firstDayCounted(const CalendarDate& today);

// The progress page's summary of every run, oldest first; a run's id is its
// place among them, from 1. The last runs come without their notes.
ProgressSummary progressSummary(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing,
                                const CalendarDate& today, std::size_t count);

// The key the progress page shows first: the key played (graded) last (the
// first of the runs, newest first), else the key chosen last, else the first key.
int preselectedKey(const std::vector<HistoryRun>& newestFirst, std::string_view currentKey);

// The grades of one key over time, one line per tempo from the slowest, one
// point a day: that day's best, at the time it was first reached.
ChartData gradeChart(const std::vector<HistoryRun>& runs, std::string_view key);

// The runs as the progress page's table, in the order given (newest first); a
// drill's key as "ドリル（ハ長調）".
TableData lastRunsTable(const std::vector<HistoryRun>& newestFirst);

// Every run as CSV: UTF-8 with a byte order mark (so that spreadsheets read the
// Japanese right), a header row, CRLF line ends, fields quoted where needed.
std::string csvText(const std::vector<HistoryRun>& runs);
// Every heard note of the runs (read with their notes), one a row, in the
// same form: the file beside the runs' one.
std::string notesCsvText(const std::vector<HistoryRun>& runs);

// "2026-12-07 14:03:05"
std::string playedAtText(const CalendarDate& date, int hour, int minute, int second);
// The day's first export "tarvel-history-2026-12-07.csv", its second
// "tarvel-history-2026-12-07-2.csv" and so on: an export never replaces one
// of the same day, which the player may have edited.
std::string exportFileName(const CalendarDate& date, int number = 1);
inline constexpr int kMaxExportsADay = 999;
// The notes' file of the same export: "tarvel-history-2026-12-07-notes.csv",
// "tarvel-history-2026-12-07-2-notes.csv".
std::string notesExportFileName(const CalendarDate& date, int number = 1);

// The heard notes of one system and pairing per day and written note, from
// `fromDay` on, day by day (as the history keeps them).
std::vector<NoteDay> noteDaysOf(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing,
                                std::string_view fromDay);
// Per key graded in key runs of one system and pairing: its last day and best grade.
std::vector<KeyPractice> keyPracticeOf(const std::vector<HistoryRun>& runs, std::string_view system,
                                       std::string_view pairing);

// What the answers mean: "ミスなし" for "0" up to "ミス6回以上" for "3".
std::string_view answerWords(std::string_view answer);

}  // namespace tarvel
