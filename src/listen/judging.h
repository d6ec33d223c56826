// Judging a run from what was heard: pure functions of the pitch frames, the
// run's beat grid and the pitch each note asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listen/pitch_tracker.h"

namespace tarvel {

// The sounding pitch (MIDI number) of a note fingered on chart line `Unshi_no`:
// chart block k is the written D3 + k semitones of the B-flat clarinet, which
// sounds a whole tone lower.
int soundingPitch(int Unshi_no);

struct JudgeRule {
    double minConfidence = 0.5;
    double minLevelDb = -50;
    double attackMs = 40;       // the start of every beat is not judged
    double rightShare = 0.15;   // of a beat's frames within tolerance make it right
    double heardShare = 0.15;   // of a beat's frames that carry a pitch make it heard at all
    double silentBelowDb = 15;  // a beat this much quieter than the run's right notes was not played
    double fadingByDb = 6;      // nor was one that only carries on the note before, this much quieter
    double toleranceCents = 50;
    int minLagMs = -40;  // the player's lag behind the beat, searched once a run
    int maxLagMs = 200;
    int lagStepMs = 5;
};

enum class Mark : char { Right = 'o', Wrong = 'x', Silent = '-' };

struct Judgement {
    bool heard = false;            // any pitch at all during the notes
    int lagMs = 0;                 // median start of the right notes after their beat
    int slips = 0;                 // notes not judged right
    std::vector<Mark> marks;       // one per note
    std::string markText() const;  // "oox-o..."
};

// `beatStartMs`: when each note's beat began, in ms from the input's first
// sample; every beat lasts `beatMs`.
Judgement judgeRun(const std::vector<PitchFrame>& frames, int sampleRate, const std::vector<double>& beatStartMs,
                   double beatMs, const std::vector<int>& expectedMidi, const JudgeRule& rule = {});

// The answer of page 5 that matches a count of slips: "0" none, "1" one or
// two, "2" three to five, "3" six or more; nothing when nothing was heard.
std::optional<std::string_view> proposedAnswer(const Judgement& judgement);
std::string_view answerForSlips(int slips);

}  // namespace tarvel
