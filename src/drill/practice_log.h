// What the history keeps of heard notes, as the weak-notes page and the drill
// read it: per written note and day, how often it was heard and missed, and
// how it was tuned. Kept in the history beside the runs; no sound, only the
// program's verdicts.
#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

// One written note on one day, for one fingering system and part.
struct NoteDay {
    std::string day;             // "2026-12-07", local
    std::int16_t written = 0;    // the written note, as the exercise codes it (Onp_code)
    std::int16_t chartLine = 0;  // the fingering it was last asked with that day
    int heard = 0;               // times it was judged
    int missed = 0;              // times it was not right, or came after an extra note
    std::string lastMissedAt;    // local time of the last miss that day, "" for none
    double centsSum = 0;         // the right notes' deviations, for their mean
    int centsCount = 0;

    bool operator==(const NoteDay&) const = default;
};

// One key as the key page's spacing sees it.
struct KeyPractice {
    int key = 0;          // index in the key table
    std::string lastDay;  // the last day it was graded
    int bestGradeNo = 0;  // 1 (Ｉ) .. 14 (ＳＳＳ)

    bool operator==(const KeyPractice&) const = default;
};

}  // namespace tarvel
