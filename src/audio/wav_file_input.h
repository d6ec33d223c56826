// A WAV file as the microphone: its first sample is heard at the instant the
// input starts, and the rest as the run's clock goes on, so that a whole run
// on a virtual clock is heard in a moment. The file is read as it is heard,
// a block at a time, never whole (a recording may be hours long), and heard
// at the microphone's rate whatever rate it was recorded at.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_input.h"

namespace tarvel {

class WavFileInput : public AudioInput {
public:
    // The rate the program hears a microphone at (QtAudioInput's): a file of
    // another rate is resampled to it.
    static constexpr int kRate = 44100;

    // Opens the file (mixed down to mono); ok() says whether it could.
    explicit WavFileInput(const std::string& path);
    ~WavFileInput() override;
    WavFileInput(const WavFileInput&) = delete;
    WavFileInput& operator=(const WavFileInput&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The rate the file was recorded at.
    int fileRate() const { return fileRate_; }
    // Its length, in samples at kRate.
    std::size_t sampleCount() const { return sampleCount_; }
    // How many samples it has read from the file so far.
    std::size_t samplesRead() const { return read_; }

    std::vector<std::string> deviceNames() override;
    std::size_t chosenDevice() const override { return 0; }
    void chooseDevice(std::size_t) override {}
    int sampleRate() const override { return kRate; }
    bool start(Instant at) override;
    AudioBlock take(Instant now) override;
    void stop() override { started_ = false; }

private:
    std::string name_;
    std::string error_;
    struct Reader;  // the file, open, and a block to read it into
    std::unique_ptr<Reader> reader_;
    int fileRate_ = 0;
    std::size_t sampleCount_ = 0;
    std::size_t read_ = 0;      // from the file since the start
    bool ended_ = false;        // the file has no more
    std::vector<float> ahead_;  // read from the file, not yet heard
    bool started_ = false;
    Instant start_{};
    std::size_t next_ = 0;  // the next sample to be heard
};

}  // namespace tarvel
