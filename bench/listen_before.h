// The judge before it followed the player, for the bench's before/after table.
#pragma once

#include <vector>

#include "listen/judging.h"

namespace tarvel::bench {

struct BeforeRule {
    double minConfidence = 0.5;
    double minLevelDb = -50;
    double attackMs = 40;
    double rightShare = 0.15;
    double heardShare = 0.15;
    double silentBelowDb = 15;
    double fadingByDb = 6;
    double toleranceCents = 50;
    int minLagMs = -40;
    int maxLagMs = 200;
    int lagStepMs = 5;
};

Judgement judgeRunBefore(const std::vector<PitchFrame>& frames, int sampleRate, const std::vector<double>& beatStartMs,
                         double beatMs, const std::vector<int>& expectedMidi, const BeforeRule& rule = {});

}  // namespace tarvel::bench
