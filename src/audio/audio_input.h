// The microphone side of the audio layer. The program hears through this
// interface only: the Qt input, the WAV-file input of the driver and tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/window.h"

namespace tarvel {

// Mono samples in -1 .. 1; `first` is the index of the first one, counted
// from the sample heard at the instant given to start().
struct AudioBlock {
    std::int64_t first = 0;
    std::vector<float> samples;
};

class AudioInput {
public:
    virtual ~AudioInput() = default;

    // The inputs the player can choose from, by name; empty without a device.
    virtual std::vector<std::string> deviceNames() = 0;
    // The input that start() opens, as an index into deviceNames().
    virtual std::size_t chosenDevice() const = 0;
    virtual void chooseDevice(std::size_t index) = 0;
    virtual int sampleRate() const = 0;

    // Starts hearing. Sample 0 is the one heard at `at` on the run's clock.
    // False when the input cannot be opened.
    virtual bool start(Instant at) = 0;
    // The samples heard since the last call, up to `now`.
    virtual AudioBlock take(Instant now) = 0;
    // Stops hearing and forgets whatever was not taken.
    virtual void stop() = 0;
};

// A machine without a microphone.
class NoAudioInput : public AudioInput {
public:
    std::vector<std::string> deviceNames() override { return {}; }
    std::size_t chosenDevice() const override { return 0; }
    void chooseDevice(std::size_t) override {}
    int sampleRate() const override { return 44100; }
    bool start(Instant) override { return false; }
    AudioBlock take(Instant) override { return {}; }
    void stop() override {}
};

}  // namespace tarvel
