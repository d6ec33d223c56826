#include "app/heard_notes.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "data/written_note.h"

namespace tarvel {
namespace {

constexpr std::size_t kNamedPerSide = 4;

// "+24", "−7": the sign a player reads on a tuner.
std::string signedCents(double cents) {
    const long rounded = std::lround(cents);
    if (rounded > 0) return "+" + std::to_string(rounded);
    if (rounded < 0) return "−" + std::to_string(-rounded);
    return "±0";
}

}  // namespace

std::vector<HeardNote> heardNotesOf(const Judgement& judgement, const MappedNotes& notes) {
    if (!judgement.heard || judgement.noisy) return {};
    std::vector<HeardNote> out;
    const std::size_t count = std::min({judgement.marks.size(), notes.Onp_code.size(), notes.Unshi_no.size()});
    out.reserve(count);
    for (std::size_t n = 0; n < count; ++n) {
        HeardNote note;
        note.place = static_cast<int>(n);
        note.written = notes.Onp_code[n];
        note.chartLine = notes.Unshi_no[n];
        note.verdict = static_cast<char>(judgement.marks[n]);
        note.extraBefore =
            std::count(judgement.extraBefore.begin(), judgement.extraBefore.end(), static_cast<int>(n)) > 0;
        if (n < judgement.cents.size() && std::isfinite(judgement.cents[n]) && judgement.marks[n] == Mark::Right)
            note.cents = judgement.cents[n];
        out.push_back(note);
    }
    return out;
}

double medianCents(std::vector<double> cents) {
    if (cents.empty()) return 0;
    const auto middle = cents.begin() + static_cast<std::ptrdiff_t>(cents.size() / 2);
    std::nth_element(cents.begin(), middle, cents.end());
    if (cents.size() % 2 == 1) return *middle;
    return (*middle + *std::max_element(cents.begin(), middle)) / 2;
}

std::string tuningText(const std::vector<HeardNote>& notes) {
    std::vector<double> all;
    std::map<std::int16_t, std::vector<double>> byNote;
    for (const HeardNote& note : notes) {
        if (!note.cents) continue;
        all.push_back(*note.cents);
        byNote[note.written].push_back(*note.cents);
    }
    if (static_cast<int>(all.size()) < kFewestTunedNotes) return {};
    std::vector<std::pair<double, std::int16_t>> sharp, flat;
    for (auto& [written, cents] : byNote) {
        const double median = medianCents(cents);
        if (median > kOffTuneCents) sharp.emplace_back(median, written);
        if (median < -kOffTuneCents) flat.emplace_back(median, written);
    }
    std::sort(sharp.begin(), sharp.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::sort(flat.begin(), flat.end());
    std::string text = "音程（合っていた音）\r\n全体 " + signedCents(medianCents(all)) + " セント";
    auto side = [&](const char* title, const std::vector<std::pair<double, std::int16_t>>& list) {
        if (list.empty()) return;
        text += std::string("\r\n") + title;
        for (std::size_t i = 0; i < list.size() && i < kNamedPerSide; ++i)
            text += "\r\n　" + writtenNoteName(list[i].second) + " " + signedCents(list[i].first);
        if (list.size() > kNamedPerSide) text += "\r\n　ほか " + std::to_string(list.size() - kNamedPerSide) + " 音";
    };
    side("高め（20 セントより上）", sharp);
    side("低め（20 セントより下）", flat);
    if (sharp.empty() && flat.empty()) text += "\r\nどの音も ±20 セントの内";
    return text;
}

}  // namespace tarvel
