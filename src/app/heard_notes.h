// What the program keeps of a heard run, note by note, and what page 5 says
// of its intonation: pure functions of the judgement and the run's notes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "listen/judging.h"
#include "run/note_mapping.h"

namespace tarvel {

// One verdict per note of a judged run (an extra note after the last one is
// counted in the slips only: it lies before no note). Nothing for a run too
// noisy to judge, or in which nothing was heard.
std::vector<HeardNote> heardNotesOf(const Judgement& judgement, const MappedNotes& notes);

inline constexpr double kOffTuneCents = 20;  // told by name beyond this
inline constexpr int kFewestTunedNotes = 4;  // fewer right notes say nothing of the tuning

// Page 5's intonation, e.g. "音程（合っていた音）\r\n全体 +6 セント\r\n高め ラ4 +24…";
// empty when too few right notes were measured.
std::string tuningText(const std::vector<HeardNote>& notes);

// The median of some deviations (0 for none).
double medianCents(std::vector<double> cents);

}  // namespace tarvel
