#include "history/progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <ranges>
#include <set>

#include "app/choices.h"
#include "data/written_note.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

namespace chr = std::chrono;

// The place of a tempo in the tempo page's order; unknown tempi after all.
std::size_t tempoRank(std::string_view tempo) {
    for (std::size_t i = 0; i < kTempoChoices.size(); ++i)
        if (kTempoChoices[i].tempo == tempo) return i;
    return kTempoChoices.size();
}

std::optional<chr::sys_days> dayOf(const std::string& playedAt) {
    int y = 0, m = 0, d = 0;
    if (std::sscanf(playedAt.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return std::nullopt;
    const chr::year_month_day date{chr::year{y}, chr::month{static_cast<unsigned>(m)},
                                   chr::day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return chr::sys_days{date};
}

// Today, this week's Monday and the first of this month; nullopt for no date.
struct CountedDays {
    chr::sys_days today, monday, first;
};
std::optional<CountedDays> countedDays(const CalendarDate& today) {
    const chr::year_month_day ymd{chr::year{today.year}, chr::month{static_cast<unsigned>(today.month)},
                                  chr::day{static_cast<unsigned>(today.day)}};
    if (!ymd.ok()) return std::nullopt;
    const chr::sys_days end{ymd};
    return CountedDays{end, end - (chr::weekday{end} - chr::Monday),
                       chr::sys_days{ymd.year() / ymd.month() / chr::day{1}}};
}

// Up to the minute: "2026-12-07 14:03".
std::string shortTime(const std::string& playedAt) { return playedAt.substr(0, 16); }

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

BestPerKey bestPerKey(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing) {
    BestPerKey best;
    for (const HistoryRun& run : runs) {
        if (run.system != system || run.pairing != pairing || run.kind != kKeyRun) continue;
        const auto k = keyIndex(run.key);
        if (!k) continue;
        std::optional<BestResult>& b = best[static_cast<std::size_t>(*k)];
        const bool better =
            !b || run.gradeNo > b->gradeNo || (run.gradeNo == b->gradeNo && tempoRank(run.tempo) > tempoRank(b->tempo));
        if (better) b = BestResult{run.gradeNo, run.grade, run.tempo};
    }
    return best;
}

std::string badgeText(const BestResult& best) { return best.grade + " ♩" + best.tempo; }

std::string firstDayCounted(const CalendarDate& today) {
    const auto counted = countedDays(today);
    if (!counted) return {};
    const chr::year_month_day from{std::min(counted->monday, counted->first)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(from.year()),
                  static_cast<unsigned>(from.month()), static_cast<unsigned>(from.day()));
    return text;
}

PractiseDays daysPractised(const std::vector<HistoryRun>& runs, const CalendarDate& today) {
    const auto counted = countedDays(today);
    if (!counted) return {};
    std::set<chr::sys_days> days;
    for (const HistoryRun& run : runs)
        if (const auto day = dayOf(run.playedAt)) days.insert(*day);
    PractiseDays result;
    for (const chr::sys_days day : days) {
        if (day > counted->today) continue;
        if (day >= counted->monday) ++result.week;
        if (day >= counted->first) ++result.month;
    }
    return result;
}

ProgressSummary progressSummary(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing,
                                const CalendarDate& today, std::size_t count) {
    ProgressSummary summary;
    for (std::size_t i = runs.size(); i-- > 0;) {  // newest first
        const HistoryRun& run = runs[i];
        if (run.system != system || run.pairing != pairing) continue;
        if (const auto k = keyIndex(run.key); k && run.kind == kKeyRun)
            ++summary.runsPerKey[static_cast<std::size_t>(*k)];
        if (summary.lastRuns.size() < count) {
            summary.lastRuns.push_back(run);
            summary.lastRuns.back().notes.clear();  // the table shows none
            summary.lastRunIds.push_back(static_cast<std::int64_t>(i + 1));
        }
    }
    summary.days = daysPractised(runs, today);
    return summary;
}

int preselectedKey(const std::vector<HistoryRun>& newestFirst, std::string_view currentKey) {
    for (const HistoryRun& run : newestFirst)
        if (const auto k = keyIndex(run.key)) return *k;
    if (const auto k = keyIndex(currentKey)) return *k;
    return 0;
}

ChartData gradeChart(const std::vector<HistoryRun>& runs, std::string_view key) {
    struct Line {
        std::string tempo;
        std::map<std::string, ChartPoint> days;  // by "2026-12-07"
    };
    std::vector<Line> lines;
    for (const HistoryRun& run : runs) {
        if (run.key != key || run.kind != kKeyRun) continue;
        auto line = std::find_if(lines.begin(), lines.end(), [&](const Line& l) { return l.tempo == run.tempo; });
        if (line == lines.end()) line = lines.insert(lines.end(), Line{run.tempo, {}});
        const auto [point, added] =
            line->days.try_emplace(run.playedAt.substr(0, 10), ChartPoint{run.playedAt, run.gradeNo});
        if (!added && run.gradeNo > point->second.grade) point->second = ChartPoint{run.playedAt, run.gradeNo};
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return tempoRank(a.tempo) < tempoRank(b.tempo); });
    ChartData chart;
    chart.key = std::string(key);
    for (Line& line : lines) {
        ChartLine& out = chart.lines.emplace_back(ChartLine{line.tempo, {}});
        for (auto& [day, point] : line.days) out.points.push_back(std::move(point));
    }
    return chart;
}

TableData lastRunsTable(const std::vector<HistoryRun>& newestFirst) {
    TableData table;
    table.header = {"日時", "調", "テンポ", "答え", "成績", "聞き取りミス"};
    for (const HistoryRun& run : newestFirst) {
        const std::string key = run.kind == kDrillRun ? "ドリル（" + keyName(run.key) + "）" : keyName(run.key);
        table.rows.push_back({shortTime(run.playedAt), key, "♩" + run.tempo, std::string(answerWords(run.answer)),
                              run.grade, run.heardSlips ? std::to_string(*run.heardSlips) : std::string()});
    }
    return table;
}

namespace {

// A system or part as the pages name it; a code the program does not know as it is.
std::string systemName(const std::string& setting) {
    for (const SystemChoice& choice : kSystemChoices)
        if (choice.setting == setting) return std::string(choice.name);
    return setting;
}

std::string pairingName(const std::string& setting) {
    for (const PairingChoice& choice : kPairingChoices)
        if (choice.setting == setting) return std::string(choice.name);
    return setting;
}

}  // namespace

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

void addCsvRow(std::string& csv, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) csv += ',';
        csv += csvField(field);
        first = false;
    }
    csv += "\r\n";
}

std::string kindName(const std::string& kind) {
    if (kind == kKeyRun) return "調の練習";
    if (kind == kDrillRun) return "苦手ドリル";
    return kind;
}

std::string verdictName(char verdict) {
    switch (verdict) {
    case 'o': return "合っていた";
    case 'x': return "ちがう音";
    case '-': return "聞こえない";
    default: return std::string(1, verdict);
    }
}

// One decimal, "-3.5"; never "-0.0".
std::string centsText(double cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", cents);
    return std::string(text) == "-0.0" ? "0.0" : text;
}

}  // namespace

std::string csvText(const std::vector<HistoryRun>& runs) {
    std::string csv = kBom;
    csv += "日時,運指,楽譜,調コード,調,テンポ,答え,成績,成績番号,聞き取りミス,種類\r\n";
    for (const HistoryRun& run : runs)
        addCsvRow(csv, {run.playedAt, systemName(run.system), pairingName(run.pairing), run.key, keyName(run.key),
                        run.tempo, std::string(answerWords(run.answer)), run.grade, std::to_string(run.gradeNo),
                        run.heardSlips ? std::to_string(*run.heardSlips) : std::string(), kindName(run.kind)});
    return csv;
}

std::string notesCsvText(const std::vector<HistoryRun>& runs) {
    std::string csv = kBom;
    csv += "日時,運指,楽譜,調,テンポ,種類,何番目,音,運指表の行,判定,余分な音,セント\r\n";
    for (const HistoryRun& run : runs)
        for (const HeardNote& note : run.notes)
            addCsvRow(csv, {run.playedAt, systemName(run.system), pairingName(run.pairing), keyName(run.key), run.tempo,
                            kindName(run.kind), std::to_string(note.place + 1), writtenNoteName(note.written),
                            std::to_string(note.chartLine), verdictName(note.verdict),
                            note.extraBefore ? "余分な音" : "", note.cents ? centsText(*note.cents) : std::string()});
    return csv;
}

std::string playedAtText(const CalendarDate& date, int hour, int minute, int second) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, hour, minute,
                  second);
    return text;
}

std::string exportFileName(const CalendarDate& date, int number) {
    char text[64];
    std::snprintf(text, sizeof text, "tarvel-history-%04d-%02d-%02d", date.year, date.month, date.day);
    return std::string(text) + (number > 1 ? "-" + std::to_string(number) : "") + ".csv";
}

std::string notesExportFileName(const CalendarDate& date, int number) {
    std::string name = exportFileName(date, number);
    return name.insert(name.size() - 4, "-notes");
}

std::vector<NoteDay> noteDaysOf(const std::vector<HistoryRun>& runs, std::string_view system, std::string_view pairing,
                                std::string_view fromDay) {
    std::map<std::pair<std::string, std::int16_t>, NoteDay> days;  // by day and written note
    for (const HistoryRun& run : runs) {
        const std::string day = run.playedAt.substr(0, 10);
        if (run.system != system || run.pairing != pairing || day < fromDay) continue;
        for (const HeardNote& note : run.notes) {
            NoteDay& d = days[{day, note.written}];
            d.day = day;
            d.written = note.written;
            d.chartLine = note.chartLine;
            ++d.heard;
            if (note.missed()) {
                ++d.missed;
                d.lastMissedAt = std::max(d.lastMissedAt, run.playedAt);
            } else if (note.cents) {
                d.centsSum += *note.cents;
                ++d.centsCount;
            }
        }
    }
    std::vector<NoteDay> out;
    out.reserve(days.size());
    for (auto& [where, d] : days) out.push_back(std::move(d));
    return out;
}

std::vector<KeyPractice> keyPracticeOf(const std::vector<HistoryRun>& runs, std::string_view system,
                                       std::string_view pairing) {
    std::map<int, KeyPractice> keys;
    for (const HistoryRun& run : runs) {
        if (run.system != system || run.pairing != pairing || run.kind != kKeyRun) continue;
        const auto k = keyIndex(run.key);
        if (!k) continue;
        KeyPractice& p = keys[*k];
        p.key = *k;
        p.lastDay = std::max(p.lastDay, run.playedAt.substr(0, 10));
        p.bestGradeNo = std::max(p.bestGradeNo, run.gradeNo);
    }
    std::vector<KeyPractice> out;
    out.reserve(keys.size());
    for (auto& [key, p] : keys) out.push_back(std::move(p));
    return out;
}

std::string_view answerWords(std::string_view answer) {
    if (answer == "0") return "ミスなし";
    if (answer == "1") return "ミス1〜2回";
    if (answer == "2") return "ミス3〜5回";
    if (answer == "3") return "ミス6回以上";
    return answer;
}

}  // namespace tarvel
