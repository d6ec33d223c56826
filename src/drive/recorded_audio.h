// The driver's audio output: the run's sound as one stream on the window's
// clock (virtual time unless --real-time), for the trace and --audio-out.
#pragma once

#include <string>
#include <vector>

#include "audio/audio_output.h"

namespace tarvel {

class RecordedAudio : public AudioOutput {
public:
    struct Click {
        ClickKind kind;
        Instant at;
    };

    // The stream starts at `start` on the clock of `clock`.
    RecordedAudio(Window& clock, Instant start) : clock_(clock), start_(start) {}

    // Clicks go to `output` as well (the sound device, with --sound), which
    // then also says whether there is a device.
    void alsoPlayOn(AudioOutput* output) { also_ = output; }

    Instant start() const { return start_; }

    bool deviceAvailable() override { return also_ ? also_->deviceAvailable() : true; }
    void scheduleClick(ClickKind kind, Instant at) override;
    void stopAll() override;

    // The clicks that have sounded by now and were not taken yet, in order.
    std::vector<Click> takeSounded();
    // Writes the stream from its start to `end`, or to the end of its last
    // click if that is later, as a 16-bit mono WAV file. False with `error` set
    // when the file cannot be written.
    bool writeWav(const std::string& file, Instant end, std::string& error) const;

private:
    Window& clock_;
    Instant start_;
    AudioOutput* also_ = nullptr;
    ClickMixer mixer_;
    std::vector<Click> unreported_;
};

const char* clickName(ClickKind kind);

}  // namespace tarvel
