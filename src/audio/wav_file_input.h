// A WAV file as the microphone: its first sample is heard at the instant the
// input starts, and the rest as the run's clock goes on, so that a whole run
// on a virtual clock is heard in a moment.
#pragma once

#include <string>

#include "audio/audio_input.h"

namespace tarvel {

class WavFileInput : public AudioInput {
public:
    // Reads the whole file (mixed down to mono); ok() says whether it could.
    explicit WavFileInput(const std::string& path);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    std::size_t sampleCount() const { return samples_.size(); }

    std::vector<std::string> deviceNames() override;
    std::size_t chosenDevice() const override { return 0; }
    void chooseDevice(std::size_t) override {}
    int sampleRate() const override { return rate_; }
    bool start(Instant at) override;
    AudioBlock take(Instant now) override;
    void stop() override { started_ = false; }

private:
    std::string name_;
    std::string error_;
    std::vector<float> samples_;
    int rate_ = 44100;
    bool started_ = false;
    Instant start_{};
    std::size_t next_ = 0;
};

// The samples of a WAV file, mono, with its rate; empty samples and an error
// text when it cannot be read.
struct WavContent {
    std::vector<float> samples;
    int rate = 0;
    std::string error;
};
WavContent readWavMono(const std::string& path);

}  // namespace tarvel
