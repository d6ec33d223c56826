// An audio output that records every click asked for and every stop, on the
// clock of a window, and tells which clicks were heard.
#pragma once

#include <string>
#include <vector>

#include "audio/audio_output.h"

namespace tarvel::test {

class RecordingAudio : public AudioOutput {
public:
    struct Click {
        ClickKind kind;
        Instant at;         // when it sounds
        Instant asked;      // when the program asked for it
        bool heard = true;  // false when a stop came before it sounded
    };

    explicit RecordingAudio(Window& clock) : clock_(clock) {}

    bool device = true;
    std::vector<Click> clicks;
    std::vector<Instant> stops;

    bool deviceAvailable() override { return device; }
    void scheduleClick(ClickKind kind, Instant at) override;
    void stopAll() override;

    // The clicks that sounded, as "accent 3500" / "beat 4000" (ms).
    std::vector<std::string> heard() const;

private:
    Window& clock_;
};

}  // namespace tarvel::test
