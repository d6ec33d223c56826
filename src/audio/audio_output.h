// The sound the program makes: metronome clicks, placed on the run's clock.
// The run's logic talks to an AudioOutput only; the Qt one plays through the
// sound device, the driver's writes a WAV file, the tests' records.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/window.h"

namespace tarvel {

enum class ClickKind { Accent, Beat };

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // False when no sound device was found: clicks are then dropped, and the
    // tempo page says so.
    virtual bool deviceAvailable() = 0;
    // Sounds a click of `kind` that starts at `at` on the run's clock (the
    // clock of Window::now()). Call it ahead of `at`: a click asked for too
    // late sounds as soon as it can.
    virtual void scheduleClick(ClickKind kind, Instant at) = 0;
    // Silences the click that is sounding and drops every one still to come.
    virtual void stopAll() = 0;
};

// Plays nothing: the output of a program that was given none. It is not a
// missing device, so it says one is there and the tempo page adds no note.
class SilentAudioOutput final : public AudioOutput {
public:
    bool deviceAvailable() override { return true; }
    void scheduleClick(ClickKind, Instant) override {}
    void stopAll() override {}
};

inline constexpr int kAudioRate = 44100;  // samples a second, mono

// The sample of a stream started at Instant 0 that sounds at `at`, rounded to
// the nearest sample.
std::int64_t sampleAt(Instant at, int rate = kAudioRate);

// The click of a kind as float samples from -1 to 1: a short decaying tone
// whose very first sample is already loud, so that its onset is the sample
// it was placed on.
const std::vector<float>& clickSamples(ClickKind kind);

// Clicks placed at sample positions of one stream, rendered block by block.
class ClickMixer {
public:
    void add(ClickKind kind, std::int64_t firstSample);
    // Ends every click at `sample`: those that start later are dropped, one
    // that is sounding is cut there.
    void cutAt(std::int64_t sample);
    void clear() { clicks_.clear(); }
    bool empty() const { return clicks_.empty(); }
    // Adds the clicks' samples that fall in [first, first + count) to `out`.
    void mixInto(float* out, std::int64_t first, std::int64_t count) const;
    // Forgets clicks that have ended before `sample`.
    void dropBefore(std::int64_t sample);
    // The sample after the end of the last click, 0 without clicks.
    std::int64_t end() const;

private:
    struct Placed {
        ClickKind kind;
        std::int64_t first;
        std::int64_t end;  // one past the last sample that sounds
    };
    std::vector<Placed> clicks_;
};

}  // namespace tarvel
