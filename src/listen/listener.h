// Hearing one run: takes the input's samples at every event pump, tracks
// their pitch as they come, keeps the level for the count-in's indicator,
// measures the room when the count-in ends (and from then on filters a hum it
// found), and judges the run at its end. Nothing heard outlives the run's
// judgement.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "audio/audio_input.h"
#include "listen/hum_filter.h"
#include "listen/judging.h"
#include "listen/pitch_tracker.h"

namespace tarvel {

class Listener {
public:
    explicit Listener(AudioInput& input) : input_(input) {}
    ~Listener() { stop(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Opens the input; the sample heard at `at` is sample 0.
    bool start(Instant at);
    bool listening() const { return listening_; }
    // Takes and tracks what was heard up to `now`.
    void poll(Instant now);
    // The loudest RMS level over the last 100 ms heard, in dBFS.
    double recentLevelDb() const { return recentLevelDb_; }
    // The room's level so far: the median of what was heard, in dBFS.
    double floorDb() const;
    // The count-in ends at `firstBeat`: the room is measured from what it
    // heard, and a hum found there is filtered out of everything after.
    RoomReport endCountIn(Instant firstBeat);
    // Milliseconds from the first sample to `at`.
    double msSinceStart(Instant at) const;
    // Stops the input and forgets everything heard.
    void stop();

    Judgement judge(const std::vector<double>& beatStartMs, double beatMs, const std::vector<int>& expectedMidi,
                    const JudgeRule& rule);
    const std::vector<PitchFrame>& frames() const { return frames_; }

private:
    void feed(std::vector<float>& samples);

    AudioInput& input_;
    std::unique_ptr<PitchTracker> tracker_;
    std::optional<HumFilter> humFilter_;
    std::vector<PitchFrame> frames_;
    Instant start_{};
    std::int64_t next_ = 0;  // the sample the tracker expects next
    int rate_ = 44100;
    bool listening_ = false;
    double recentLevelDb_ = -120;
};

}  // namespace tarvel
