#include "drill/spacing.h"

#include <algorithm>
#include <map>

#include "drill/weak_notes.h"

namespace tarvel {

std::vector<NoteBox> noteBoxes(const std::vector<NoteDay>& log) {
    std::vector<const NoteDay*> days;
    for (const NoteDay& d : log)
        if (dayNumber(d.day)) days.push_back(&d);
    std::stable_sort(days.begin(), days.end(), [](const NoteDay* a, const NoteDay* b) { return a->day < b->day; });
    std::map<std::int16_t, NoteBox> boxes;
    for (const NoteDay* d : days) {
        if (d->heard == 0) continue;
        const bool known = boxes.count(d->written) > 0;
        if (d->missed > 0) {
            boxes[d->written] = NoteBox{d->written, 0, d->day};
            continue;
        }
        if (!known) continue;  // right before it was ever missed: not the drill's
        NoteBox& box = boxes[d->written];
        if (box.left() || d->day < box.dueDay) continue;  // right again too soon: the box waits
        ++box.box;
        box.dueDay = dayText(*dayNumber(d->day) + kSpacingDays[box.box - 1]);
    }
    std::vector<NoteBox> out;
    out.reserve(boxes.size());
    for (const auto& [written, box] : boxes) out.push_back(box);
    return out;
}

std::vector<std::int16_t> drillTargets(const std::vector<NoteBox>& boxes, const std::vector<std::int16_t>& weakFirst,
                                       std::string_view today, std::size_t most) {
    std::vector<std::int16_t> targets;
    auto due = [&](std::int16_t written) {
        const auto box =
            std::find_if(boxes.begin(), boxes.end(), [&](const NoteBox& b) { return b.written == written; });
        return box != boxes.end() && !box->left() && box->dueDay <= today;
    };
    for (const std::int16_t written : weakFirst)
        if (targets.size() < most && due(written)) targets.push_back(written);
    return targets;
}

int restDaysForGrade(int gradeNo) {
    if (gradeNo <= 4) return kSpacingDays[0];   // Ｉ to Ｆ
    if (gradeNo <= 8) return kSpacingDays[1];   // Ｅ to Ｂ
    if (gradeNo <= 11) return kSpacingDays[2];  // Ａ to ＡＡＡ
    return kSpacingDays[3];                     // Ｓ to ＳＳＳ
}

std::vector<int> dueKeys(const std::vector<KeyPractice>& keys, std::string_view today) {
    const auto now = dayNumber(today);
    if (!now) return {};
    std::vector<std::pair<double, int>> due;
    for (const KeyPractice& k : keys) {
        const auto last = dayNumber(k.lastDay);
        if (!last) continue;
        const double overdue = static_cast<double>(*now - *last) / restDaysForGrade(k.bestGradeNo);
        if (overdue >= 1) due.emplace_back(overdue, k.key);
    }
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<int> out;
    out.reserve(due.size());
    for (const auto& d : due) out.push_back(d.second);
    return out;
}

}  // namespace tarvel
