// The judge as it was before it followed the player (one lag for the whole
// run, a fixed level gate), kept so that the bench prints both on the same
// performances in one run.
#include "listen_before.h"

#include <algorithm>
#include <cmath>

namespace tarvel::bench {
namespace {

struct Counts {
    int frames = 0;         // in the judged part of the beat
    int pitched = 0;        // passing the confidence and level gates
    int matching = 0;       // pitched and within tolerance of the expected pitch
    double levelDb = -120;  // median level of the frames
};

struct Frames {
    std::vector<double> ms;
    std::vector<bool> pitched;
    std::vector<float> midi;
    std::vector<float> levelDb;
};

bool matches(const Frames& f, std::ptrdiff_t i, int expected, double toleranceSemitones) {
    return f.pitched[i] && std::abs(f.midi[i] - static_cast<float>(expected)) <= toleranceSemitones;
}

std::ptrdiff_t firstAt(const Frames& f, double ms) {
    return std::lower_bound(f.ms.begin(), f.ms.end(), ms) - f.ms.begin();
}

Counts countBeat(const Frames& f, double from, double to, int expected, double toleranceSemitones,
                 bool withLevel = false) {
    Counts c;
    const auto first = firstAt(f, from);
    const auto last = firstAt(f, to);
    for (auto i = first; i < last; ++i) {
        ++c.frames;
        if (!f.pitched[i]) continue;
        ++c.pitched;
        if (matches(f, i, expected, toleranceSemitones)) ++c.matching;
    }
    if (withLevel && c.frames > 0) {
        std::vector<float> levels(f.levelDb.begin() + first, f.levelDb.begin() + last);
        std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
        c.levelDb = levels[levels.size() / 2];
    }
    return c;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

Judgement judgeRunBefore(const std::vector<PitchFrame>& frames, int sampleRate, const std::vector<double>& beatStartMs,
                         double beatMs, const std::vector<int>& expectedMidi, const BeforeRule& rule) {
    Frames f;
    f.ms.reserve(frames.size());
    for (const PitchFrame& frame : frames) {
        f.ms.push_back(static_cast<double>(frame.sample) * 1000.0 / sampleRate);
        f.pitched.push_back(frame.midi > 0 && frame.confidence >= rule.minConfidence &&
                            frame.levelDb >= rule.minLevelDb);
        f.midi.push_back(frame.midi);
        f.levelDb.push_back(frame.levelDb);
    }
    const double tolerance = rule.toleranceCents / 100.0;
    const std::size_t notes = std::min(beatStartMs.size(), expectedMidi.size());

    // One lag for the whole run: the one under which most frames match.
    int bestLag = 0;
    long bestMatching = -1;
    for (int lag = rule.minLagMs; lag <= rule.maxLagMs; lag += rule.lagStepMs) {
        long matching = 0;
        for (std::size_t n = 0; n < notes; ++n) {
            const double start = beatStartMs[n] + lag;
            matching += countBeat(f, start + rule.attackMs, start + beatMs, expectedMidi[n], tolerance).matching;
        }
        if (matching > bestMatching || (matching == bestMatching && std::abs(lag) < std::abs(bestLag))) {
            bestMatching = matching;
            bestLag = lag;
        }
    }

    Judgement j;
    std::vector<Counts> counts;
    std::vector<double> rightLevels, onsets;
    for (std::size_t n = 0; n < notes; ++n) {
        const double start = beatStartMs[n] + bestLag;
        const Counts c = countBeat(f, start + rule.attackMs, start + beatMs, expectedMidi[n], tolerance, true);
        if (c.pitched > 0) j.heard = true;
        const bool right = c.frames > 0 && c.matching >= rule.rightShare * c.frames;
        j.marks.push_back(right ? Mark::Right : Mark::Wrong);
        counts.push_back(c);
        if (!right) continue;
        rightLevels.push_back(c.levelDb);
        // Where the note really began: its first matching frame from the
        // earliest lag searched on.
        for (auto i = firstAt(f, beatStartMs[n] + rule.minLagMs); i < firstAt(f, start + beatMs); ++i)
            if (matches(f, i, expectedMidi[n], tolerance)) {
                onsets.push_back(f.ms[i] - beatStartMs[n]);
                break;
            }
    }
    // A beat that is not right was either played wrong, or not played: too
    // few pitched frames, or only the fading sound of the note before.
    const double playedLevel = rightLevels.empty() ? rule.minLevelDb : median(rightLevels);
    for (std::size_t n = 0; n < notes; ++n) {
        const Counts& c = counts[n];
        if (j.marks[n] == Mark::Right) continue;
        ++j.slips;
        bool fading = false;
        if (n > 0 && j.marks[n - 1] == Mark::Right && c.levelDb < counts[n - 1].levelDb - rule.fadingByDb) {
            const double start = beatStartMs[n] + bestLag;
            const Counts before = countBeat(f, start + rule.attackMs, start + beatMs, expectedMidi[n - 1], tolerance);
            fading = before.matching * 2 > c.pitched;
        }
        if (c.frames == 0 || c.pitched < rule.heardShare * c.frames || c.levelDb < playedLevel - rule.silentBelowDb ||
            fading)
            j.marks[n] = Mark::Silent;
    }
    j.lagMs = j.heard ? static_cast<int>(std::lround(median(onsets))) : 0;
    return j;
}

}  // namespace tarvel::bench
