#include "drill/weak_notes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

namespace tarvel {
namespace {

namespace chr = std::chrono;

// Letter index (f c g d a e b) to its semitone.
constexpr int kSemitone[7] = {5, 0, 7, 2, 9, 4, 11};
constexpr int kShift[5] = {-2, -1, 0, 1, 2};

bool inWindow(const NoteDay& d, int today, int windowDays) {
    const auto day = dayNumber(d.day);
    return day && *day <= today && *day > today - windowDays;
}

}  // namespace

std::optional<int> dayNumber(std::string_view day) {
    int y = 0, m = 0, d = 0;
    if (day.size() != 10 || std::sscanf(std::string(day).c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return std::nullopt;
    const chr::year_month_day date{chr::year{y}, chr::month{static_cast<unsigned>(m)},
                                   chr::day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return static_cast<int>(chr::sys_days{date}.time_since_epoch().count());
}

std::string dayText(int dayNumber) {
    const chr::year_month_day date{chr::sys_days{chr::days{dayNumber}}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

int writtenPitchOrder(std::int16_t written) {
    const int letter = written / 10 % 10, sign = written % 10;
    if (letter > 6 || sign > 4) return 0;
    return 12 * (written / 100) + kSemitone[letter] + kShift[sign];
}

std::vector<WeakNote> weakNotes(const std::vector<NoteDay>& log, std::string_view today, int windowDays) {
    const auto now = dayNumber(today);
    if (!now) return {};
    std::map<std::int16_t, WeakNote> notes;
    std::map<std::int16_t, std::string> lastDay;
    for (const NoteDay& d : log) {
        if (!inWindow(d, *now, windowDays)) continue;
        WeakNote& w = notes[d.written];
        w.written = d.written;
        w.heard += d.heard;
        w.missed += d.missed;
        if (d.day >= lastDay[d.written]) {
            lastDay[d.written] = d.day;
            w.chartLine = d.chartLine;
        }
        w.lastMissedAt = std::max(w.lastMissedAt, d.lastMissedAt);
    }
    std::vector<WeakNote> weak;
    for (auto& [written, w] : notes) {
        if (w.missed == 0 || w.heard == 0) continue;
        w.missRate = static_cast<double>(w.missed) / w.heard;
        weak.push_back(w);
    }
    std::sort(weak.begin(), weak.end(), [](const WeakNote& a, const WeakNote& b) {
        if (a.missRate != b.missRate) return a.missRate > b.missRate;
        if (a.missed != b.missed) return a.missed > b.missed;
        if (a.lastMissedAt != b.lastMissedAt) return a.lastMissedAt > b.lastMissedAt;
        return a.written < b.written;
    });
    return weak;
}

std::vector<Tendency> tuningTendencies(const std::vector<NoteDay>& log, std::string_view today, int windowDays) {
    const auto now = dayNumber(today);
    if (!now) return {};
    std::map<std::int16_t, std::pair<double, int>> sums;
    for (const NoteDay& d : log) {
        if (!inWindow(d, *now, windowDays) || d.centsCount == 0) continue;
        auto& [sum, count] = sums[d.written];
        sum += d.centsSum;
        count += d.centsCount;
    }
    std::vector<Tendency> tendencies;
    tendencies.reserve(sums.size());
    for (const auto& [written, s] : sums) tendencies.push_back({written, s.first / s.second, s.second});
    std::stable_sort(tendencies.begin(), tendencies.end(), [](const Tendency& a, const Tendency& b) {
        return writtenPitchOrder(a.written) < writtenPitchOrder(b.written);
    });
    return tendencies;
}

}  // namespace tarvel
