#include "listen/judging.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

namespace tarvel {
namespace {

constexpr int kWrittenD3 = 50;  // MIDI
constexpr int kBFlatTransposition = -2;
constexpr double kRoomFromMs = 100;     // the input's first moments are not the room yet
constexpr double kRoomUntilGapMs = 50;  // nor the last before the first beat: a player may start early
constexpr double kHumConfidence = 0.6;
constexpr double kHumShare = 0.5;       // of the count-in carrying one steady pitch
constexpr double kHumSpreadCents = 30;  // how steady
constexpr double kPlayedPercentile = 0.9;
constexpr double kAboveRoomDb = 1;  // a frame counts only above the room
constexpr double kBeforeMs = 60;    // the sound just before a note should start
constexpr double kAfterStartMs = 10;
constexpr double kOnsetSearchMs = 150;
constexpr int kOnsetFrames = 6;    // a rise is measured over about 35 ms
constexpr double kFadingByDb = 6;  // a sound this much quieter than the note before is that note fading
constexpr double kSteadyStepSemitones = 0.35;
constexpr double kExtraConfidence = 0.6;
constexpr double kLagStepPenalty = 0.02;  // in frames per ms the lag moves: stays put where nothing is heard
constexpr double kLagTieBreak = 0.001;    // and, in the first block, prefers the lag nearest the beat
constexpr double kAfterLastNoteMs = 200;

struct Frames {
    std::vector<double> ms;
    std::vector<float> midi;
    std::vector<float> confidence;
    std::vector<float> level;
    std::vector<float> shortLevel;
    std::vector<char> pitched;  // confident, a clarinet's pitch, above the gate
    double hopMs = 0;

    std::size_t at(double t) const {
        return static_cast<std::size_t>(std::lower_bound(ms.begin(), ms.end(), t) - ms.begin());
    }
};

Frames framesOf(const std::vector<PitchFrame>& frames, int sampleRate) {
    Frames f;
    for (const PitchFrame& frame : frames) {
        f.ms.push_back(static_cast<double>(frame.sample) * 1000.0 / sampleRate);
        f.midi.push_back(frame.midi);
        f.confidence.push_back(frame.confidence);
        f.level.push_back(frame.levelDb);
        f.shortLevel.push_back(frame.shortLevelDb);
    }
    f.pitched.assign(frames.size(), 0);
    f.hopMs = f.ms.size() > 1 ? f.ms[1] - f.ms[0] : 256.0 * 1000 / sampleRate;
    return f;
}

double percentile(std::vector<double> values, double q) {
    if (values.empty()) return -120;
    const auto k = static_cast<std::size_t>(std::lround(q * static_cast<double>(values.size() - 1)));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

double median(std::vector<double> values) { return percentile(std::move(values), 0.5); }

double hertz(double midi) { return kStandardA4 * std::pow(2.0, (midi - 69) / 12); }

bool near(double a, double b, double semitones) { return std::abs(a - b) <= semitones; }

// Frames of one note's pitch, counted fast over any stretch of time.
class PitchCounts {
public:
    PitchCounts(const Frames& f, const std::vector<double>& pitches, double tolerance) : f_(f) {
        for (const double p : pitches) {
            if (prefix_.count(p)) continue;
            std::vector<int>& sums = prefix_[p];
            sums.assign(f.ms.size() + 1, 0);
            for (std::size_t i = 0; i < f.ms.size(); ++i)
                sums[i + 1] = sums[i] + (f.pitched[i] && near(f.midi[i], p, tolerance) ? 1 : 0);
        }
    }
    int count(double pitch, double fromMs, double toMs) const {
        const std::vector<int>& sums = prefix_.at(pitch);
        const std::size_t a = f_.at(fromMs), b = std::max(a, f_.at(toMs));
        return sums[b] - sums[a];
    }

private:
    const Frames& f_;
    std::map<double, std::vector<int>> prefix_;
};

// The player's lag for every note: searched in the first block of notes
// within the rule's bounds, then followed block by block, each block moving
// at most as far as a drifting tempo can take it; the path that matches most
// frames overall wins. Between blocks the lag is interpolated note by note.
std::vector<double> followLag(const PitchCounts& counts, const std::vector<double>& beats, double beatMs,
                              double judgedMs, const std::vector<double>& pitches, const JudgeRule& rule) {
    const std::size_t notes = beats.size();
    const std::size_t perBlock = static_cast<std::size_t>(std::max(1, rule.blockNotes));
    const std::size_t blocks = (notes + perBlock - 1) / perBlock;
    const int step = std::max(1, rule.lagStepMs);
    const int lowest = rule.firstLagMinMs - rule.lagFollowMs;
    const int highest = rule.firstLagMaxMs + rule.lagFollowMs;
    const int lagCount = (highest - lowest) / step + 1;
    const auto lags = static_cast<std::size_t>(lagCount);
    auto lagAt = [&](std::size_t m) { return lowest + static_cast<int>(m) * step; };

    constexpr double kNone = -std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> value(blocks, std::vector<double>(lags, kNone));
    std::vector<std::vector<std::size_t>> from(blocks, std::vector<std::size_t>(lags, 0));
    for (std::size_t k = 0; k < blocks; ++k) {
        const std::size_t first = k * perBlock, last = std::min(notes, first + perBlock);
        const double span = beats[last - 1] - beats[first] + beatMs;
        const auto move = static_cast<std::size_t>((rule.lagMoveSlackMs + rule.lagMovePerMs * span) / step);
        for (std::size_t m = 0; m < lags; ++m) {
            const int lag = lagAt(m);
            if (k == 0 && (lag < rule.firstLagMinMs || lag > rule.firstLagMaxMs)) continue;
            double score = 0;
            for (std::size_t n = first; n < last; ++n)
                score += counts.count(pitches[n], beats[n] + lag + rule.attackMs, beats[n] + lag + judgedMs);
            if (k == 0) {
                value[k][m] = score - kLagTieBreak * std::abs(lag);
                continue;
            }
            const std::size_t lo = m > move ? m - move : 0, hi = std::min(lags - 1, m + move);
            for (std::size_t p = lo; p <= hi; ++p) {
                if (value[k - 1][p] == kNone) continue;
                const double moved = std::abs(static_cast<double>(m) - static_cast<double>(p)) * step;
                const double v = value[k - 1][p] - kLagStepPenalty * moved;
                if (v + score > value[k][m]) {
                    value[k][m] = v + score;
                    from[k][m] = p;
                }
            }
        }
    }
    std::vector<double> blockLag(blocks);
    std::size_t best = 0;
    for (std::size_t m = 0; m < lags; ++m)
        if (value[blocks - 1][m] > value[blocks - 1][best]) best = m;
    for (std::size_t k = blocks; k-- > 0;) {
        blockLag[k] = lagAt(best);
        best = from[k][best];
    }
    // Each block's lag stands at its middle note.
    std::vector<double> lag(notes);
    auto centre = [&](std::size_t k) {
        return (static_cast<double>(k * perBlock) + static_cast<double>(std::min(notes, (k + 1) * perBlock) - 1)) / 2;
    };
    for (std::size_t n = 0; n < notes; ++n) {
        const double x = static_cast<double>(n);
        std::size_t k = 0;
        while (k + 1 < blocks && centre(k + 1) <= x) ++k;
        if (k + 1 >= blocks || x <= centre(0)) {
            lag[n] = x <= centre(0) ? blockLag[0] : blockLag[k];
            continue;
        }
        const double t = (x - centre(k)) / (centre(k + 1) - centre(k));
        lag[n] = blockLag[k] + t * (blockLag[k + 1] - blockLag[k]);
    }
    return lag;
}

// A new start of a note near `start`: the short level rises by the rule's
// step from a dip (a tongued note, also on the same pitch as the note before).
bool startsAnew(const Frames& f, double start, double beatMs, double gateDb, const JudgeRule& rule) {
    const std::size_t a = f.at(start - kBeforeMs), b = f.at(start + std::min(beatMs / 2, kOnsetSearchMs));
    for (std::size_t i = a; i < b; ++i) {
        if (f.shortLevel[i] < gateDb) continue;
        float lowest = f.shortLevel[i];
        for (std::size_t j = i >= kOnsetFrames ? i - kOnsetFrames : 0; j < i; ++j)
            lowest = std::min(lowest, f.shortLevel[j]);
        if (f.shortLevel[i] - lowest >= rule.onsetRiseDb) return true;
    }
    return false;
}

// The level's slope over a stretch, in dB per 100 ms; 0 with too few frames.
double levelSlope(const Frames& f, double fromMs, double toMs) {
    const std::size_t a = f.at(fromMs), b = f.at(toMs);
    if (b < a + 4) return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(b - a);
    for (std::size_t i = a; i < b; ++i) {
        const double x = f.ms[i] - fromMs, y = f.level[i];
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return d > 0 ? 100.0 * (n * sxy - sx * sy) / d : 0;
}

double medianLevel(const Frames& f, double fromMs, double toMs) {
    std::vector<double> levels;
    for (std::size_t i = f.at(fromMs), end = f.at(toMs); i < end; ++i) levels.push_back(f.level[i]);
    return median(levels);
}

// The pitch that sounds just before `start`, when one does.
std::optional<double> soundBefore(const Frames& f, double start) {
    std::vector<double> pitches;
    const std::size_t a = f.at(start - kBeforeMs), b = f.at(start + kAfterStartMs);
    for (std::size_t i = a; i < b; ++i)
        if (f.pitched[i]) pitches.push_back(f.midi[i]);
    if (b == a || pitches.size() * 2 < b - a) return std::nullopt;
    return median(pitches);
}

bool relatedByRegister(double pitch, double note, double tolerance) {
    for (const double interval : {12.0, 19.0, 24.0})
        if (near(pitch, note + interval, tolerance) || near(pitch, note - interval, tolerance)) return true;
    return false;
}

}  // namespace

int soundingPitch(int Unshi_no) { return kWrittenD3 + Unshi_no / 10 + kBFlatTransposition; }

std::string Judgement::markText() const {
    std::string text;
    for (const Mark m : marks) text += static_cast<char>(m);
    return text;
}

RoomReport measureRoom(const std::vector<PitchFrame>& frames, int sampleRate, double untilMs, const JudgeRule& rule) {
    RoomReport room;
    std::vector<double> levels, pitches;
    for (const PitchFrame& frame : frames) {
        const double ms = static_cast<double>(frame.sample) * 1000.0 / sampleRate;
        if (ms < kRoomFromMs || ms >= untilMs - kRoomUntilGapMs) continue;
        levels.push_back(frame.levelDb);
        if (frame.midi > 0 && frame.confidence >= kHumConfidence) pitches.push_back(frame.midi);
    }
    if (levels.empty()) return room;
    room.floorDb = median(levels);
    if (static_cast<double>(pitches.size()) < kHumShare * static_cast<double>(levels.size())) return room;
    const double centre = median(pitches);
    double sum = 0;
    std::vector<double> humLevels;
    for (const PitchFrame& frame : frames) {
        const double ms = static_cast<double>(frame.sample) * 1000.0 / sampleRate;
        if (ms < kRoomFromMs || ms >= untilMs - kRoomUntilGapMs) continue;
        if (frame.midi <= 0 || frame.confidence < kHumConfidence || !near(frame.midi, centre, kHumSpreadCents / 100))
            continue;
        sum += frame.midi;
        humLevels.push_back(frame.levelDb);
    }
    if (static_cast<double>(humLevels.size()) < kHumShare * static_cast<double>(levels.size())) return room;
    const double hz = hertz(sum / static_cast<double>(humLevels.size()));
    if (hz > rule.humHighestHz) return room;  // a note, not hum: the room is simply not quiet
    room.humHz = hz;
    room.humDb = median(humLevels);
    return room;
}

Judgement judgeRun(const std::vector<PitchFrame>& frames, int sampleRate, const std::vector<double>& beatStartMs,
                   double beatMs, const std::vector<int>& expectedMidi, const JudgeRule& rule) {
    Judgement j;
    j.a4Hz = rule.a4Hz;
    const std::size_t notes = std::min(beatStartMs.size(), expectedMidi.size());
    j.marks.assign(notes, Mark::Silent);
    j.cents.assign(notes, std::numeric_limits<float>::quiet_NaN());
    j.slips = static_cast<int>(notes);
    if (notes == 0) return j;
    Frames f = framesOf(frames, sampleRate);
    j.room = measureRoom(frames, sampleRate, beatStartMs.front(), rule);

    // The played level: what most of the run's clarinet frames reach. The
    // gate of silence lies below it, and above the room's noise.
    const double tuning = 12 * std::log2(rule.a4Hz / kStandardA4);
    const double regionFrom = beatStartMs.front() - 100;
    const double regionTo = beatStartMs[notes - 1] + beatMs + kAfterLastNoteMs + rule.firstLagMaxMs;
    std::vector<double> levels;
    for (std::size_t i = f.at(regionFrom), end = f.at(regionTo); i < end; ++i)
        if (f.confidence[i] >= rule.minConfidence && f.midi[i] >= rule.lowestMidi + tuning &&
            f.midi[i] <= rule.highestMidi + tuning)
            levels.push_back(f.level[i]);
    if (levels.empty()) return j;
    j.playedDb = percentile(levels, kPlayedPercentile);
    const double gate = std::max(j.playedDb - rule.silentBelowDb, j.room.floorDb + kAboveRoomDb);
    for (std::size_t i = 0; i < f.ms.size(); ++i)
        f.pitched[i] = f.confidence[i] >= rule.minConfidence && f.level[i] >= gate &&
                       f.midi[i] >= rule.lowestMidi + tuning && f.midi[i] <= rule.highestMidi + tuning;
    for (std::size_t i = f.at(regionFrom), end = f.at(regionTo); i < end && !j.heard; ++i) j.heard = f.pitched[i];
    if (!j.heard) return j;
    j.noisy = j.playedDb - j.room.floorDb < rule.noisyNoiseDb ||
              (j.room.humHz && j.playedDb - j.room.humDb < rule.noisyHumDb);

    const double tolerance = rule.toleranceCents / 100.0;
    std::vector<double> expected(notes);
    for (std::size_t n = 0; n < notes; ++n) expected[n] = expectedMidi[n] + tuning;
    const std::vector<double> beats(beatStartMs.begin(), beatStartMs.begin() + static_cast<std::ptrdiff_t>(notes));
    const PitchCounts counts(f, expected, tolerance);
    const double judged = beatMs - std::min(rule.endMarginMs, rule.endMarginShare * beatMs);
    const std::vector<double> lag = followLag(counts, beats, beatMs, judged, expected, rule);

    // Each note: not played first, then right or wrong.
    std::vector<double> onsets, startsAfterLag;
    std::vector<std::optional<double>> played(notes);  // the pitch each note was played at, when one was
    double lastPlayedLevel = j.playedDb;
    j.slips = 0;
    for (std::size_t n = 0; n < notes; ++n) {
        const double start = beats[n] + lag[n];
        const double from = start + rule.attackMs, to = start + judged;
        const std::size_t a = f.at(from), b = f.at(to);
        const int count = static_cast<int>(b - a);
        int pitched = 0;
        for (std::size_t i = a; i < b; ++i) pitched += f.pitched[i];
        const int matching = counts.count(expected[n], from, to);
        const double level = medianLevel(f, from, to);
        Mark mark = Mark::Silent;
        if (count > 0 && pitched >= rule.heardShare * count) {
            mark = matching >= rule.rightShare * count ? Mark::Right : Mark::Wrong;
            // Only the sound before carrying on, falling or fading, with no new start: not played.
            if (const auto before = soundBefore(f, start)) {
                int carried = 0;
                for (std::size_t i = a; i < b; ++i) carried += f.pitched[i] && near(f.midi[i], *before, tolerance);
                const bool falling = levelSlope(f, start, to) <= -rule.tailSlopeDbPer100Ms;
                const bool fading = level < lastPlayedLevel - kFadingByDb;
                if (carried * 2 >= pitched && (falling || fading) && !startsAnew(f, start, beatMs, gate, rule))
                    mark = Mark::Silent;
            }
        }
        j.marks[n] = mark;
        if (mark != Mark::Silent) {
            lastPlayedLevel = level;
            std::vector<double> pitches;
            for (std::size_t i = a; i < b; ++i)
                if (f.pitched[i]) pitches.push_back(f.midi[i]);
            played[n] = median(pitches);
        }
        if (mark != Mark::Right) {
            ++j.slips;
            continue;
        }
        std::vector<double> cents;
        for (std::size_t i = a; i < b; ++i)
            if (f.pitched[i] && near(f.midi[i], expected[n], tolerance))
                cents.push_back(100 * (f.midi[i] - expected[n]));
        j.cents[n] = static_cast<float>(median(cents));
        // Where the note really began: its first matching frame, unless the
        // note before sounded the same pitch (its start is not to be seen).
        const auto before = soundBefore(f, start - kOnsetSearchMs / 2);
        if (before && near(*before, expected[n], tolerance)) continue;
        for (std::size_t i = f.at(start - kOnsetSearchMs / 2), end = f.at(to); i < end; ++i)
            if (f.pitched[i] && near(f.midi[i], expected[n], tolerance)) {
                onsets.push_back(f.ms[i] - beats[n]);
                startsAfterLag.push_back(f.ms[i] - start);
                break;
            }
    }

    // Extra notes: a steady pitch that is none of the notes around it, heard
    // between a right note and the next (until the next is judged), and not
    // the sound carried on from before.
    std::set<int> extras;
    const double away = rule.extraAwayCents / 100.0;
    for (std::size_t n = 0; n < notes; ++n) {
        if (j.marks[n] != Mark::Right) continue;
        const double from = beats[n] + lag[n];
        const double to = n + 1 < notes ? beats[n + 1] + lag[n + 1] + rule.attackMs : from + beatMs + kAfterLastNoteMs;
        const std::optional<double> carried = soundBefore(f, from);
        const std::optional<double> next = n + 1 < notes ? played[n + 1] : std::nullopt;
        // The pitches that belong here: the notes around, the sound carried on
        // and the next note as it was played; a frame near one of them, or a
        // register away (the tracker's octave slips at a note's start), is not foreign.
        std::vector<double> own;
        for (std::size_t k = n == 0 ? 0 : n - 1; k <= n + 1 && k < notes; ++k) own.push_back(expected[k]);
        for (const auto& pitch : {carried, next})
            if (pitch) own.push_back(*pitch);
        auto foreign = [&](std::size_t i) {
            if (!f.pitched[i] || f.confidence[i] < kExtraConfidence) return false;
            return std::none_of(own.begin(), own.end(), [&](double p) {
                return near(f.midi[i], p, away) || relatedByRegister(f.midi[i], p, away);
            });
        };
        const std::size_t first = f.at(from), end = f.at(to);
        double ownStart = to;
        for (std::size_t i = first; i < end; ++i)
            if (f.pitched[i] && near(f.midi[i], expected[n], tolerance)) {
                ownStart = f.ms[i];
                break;
            }
        // Runs of steady foreign frames; one long enough is an extra note.
        std::size_t runStart = first, runLength = 0;
        for (std::size_t i = first; i <= end; ++i) {
            if (i < end && foreign(i) && (runLength == 0 || near(f.midi[i], f.midi[i - 1], kSteadyStepSemitones))) {
                if (runLength++ == 0) runStart = i;
                continue;
            }
            if (static_cast<double>(runLength) * f.hopMs >= rule.extraMinMs)
                extras.insert(static_cast<int>(f.ms[runStart] < ownStart ? n : n + 1));
            runLength = i < end && foreign(i) ? 1 : 0;
            runStart = i;
        }
    }
    j.extraBefore.assign(extras.begin(), extras.end());
    j.slips += static_cast<int>(j.extraBefore.size());
    // The player's lag: when the notes were heard to start; its range is
    // the range the followed lag moved in.
    if (!onsets.empty()) {
        j.lagMs = static_cast<int>(std::lround(median(onsets)));
        const double offset = median(startsAfterLag);
        j.lagFromMs = static_cast<int>(std::lround(*std::min_element(lag.begin(), lag.end()) + offset));
        j.lagToMs = static_cast<int>(std::lround(*std::max_element(lag.begin(), lag.end()) + offset));
    }
    return j;
}

std::string_view answerForSlips(int slips) {
    if (slips <= 0) return "0";
    if (slips <= 2) return "1";
    if (slips <= 5) return "2";
    return "3";
}

std::optional<std::string_view> proposedAnswer(const Judgement& judgement) {
    if (!judgement.heard || judgement.noisy) return std::nullopt;
    return answerForSlips(judgement.slips);
}

}  // namespace tarvel
