// When to practise what again: boxes of 1, 2, 4 and 8 days. A note the player
// missed is in the first box and due at once; each day it is right (on a day
// it is due) moves it one box on; right on three different days, it has left
// the drill. A missed note comes back at once. Keys are spaced the same way,
// their box given by their best grade.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill/practice_log.h"

namespace tarvel {

inline constexpr int kSpacingDays[] = {1, 2, 4, 8};
inline constexpr int kRightDaysToLeave = 3;

struct NoteBox {
    std::int16_t written = 0;
    int box = 0;         // days right since the last miss: 0 .. kRightDaysToLeave
    std::string dueDay;  // "2026-12-08"; the day of the last miss while in box 0
    bool left() const { return box >= kRightDaysToLeave; }
};

// Every note missed at some time, in its box as of `today`.
std::vector<NoteBox> noteBoxes(const std::vector<NoteDay>& log);

// The notes the drill asks for today: due and not left, most missed first
// (the order of `weakFirst`, the written notes by how they are missed), at most `most`.
std::vector<std::int16_t> drillTargets(const std::vector<NoteBox>& boxes, const std::vector<std::int16_t>& weakFirst,
                                       std::string_view today, std::size_t most);

// The keys due today: not practised for longer than their best grade's box
// (a weak key after a day, a strong one after eight), the most overdue first.
std::vector<int> dueKeys(const std::vector<KeyPractice>& keys, std::string_view today);

// The days a key with this best grade may rest.
int restDaysForGrade(int gradeNo);

}  // namespace tarvel
