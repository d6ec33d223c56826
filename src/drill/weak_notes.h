// The notes a player misses most, and how they tune: pure functions of the
// practice log, so that the weak-notes page and the drill read the same.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill/practice_log.h"

namespace tarvel {

// The day number of "2026-12-07" (days since 1970-01-01); nullopt for text
// that is no date.
std::optional<int> dayNumber(std::string_view day);
// "2026-12-07" of a day number.
std::string dayText(int dayNumber);

struct WeakNote {
    std::int16_t written = 0;
    std::int16_t chartLine = 0;  // the fingering it was last asked with
    int heard = 0;
    int missed = 0;
    double missRate = 0;       // missed / heard
    std::string lastMissedAt;  // local time
};

// The notes missed at least once in the `windowDays` days up to `today`,
// most missed first: by rate, then by how often, then the latest miss.
std::vector<WeakNote> weakNotes(const std::vector<NoteDay>& log, std::string_view today, int windowDays = 30);

struct Tendency {
    std::int16_t written = 0;
    double cents = 0;  // the mean deviation of its right notes, sharp above 0
    int count = 0;     // right notes measured
};

// How each written note was tuned in the window, lowest note first.
std::vector<Tendency> tuningTendencies(const std::vector<NoteDay>& log, std::string_view today, int windowDays = 30);

// The sounding order of written notes: octave, then the letter's place from c.
int writtenPitchOrder(std::int16_t written);

}  // namespace tarvel
