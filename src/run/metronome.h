// The metronome of one run: a click on each count of the count-in and on
// every note's beat, the first of every bar of four (and the count "４")
// accented. Each click is asked for a beat ahead, when the pause that ends on
// it is set, so it lands on the grid, never after the drawing.
#pragma once

#include "audio/audio_output.h"

namespace tarvel {

class Metronome {
public:
    explicit Metronome(AudioOutput& output) : output_(output) {}

    // The run will have `beats` pauses that end on a click (none: silent).
    void plan(int beats) {
        planned_ = beats;
        given_ = 0;
    }
    // The next pause ends at `at`: its click, while one is planned.
    void clickOn(Instant at);
    // Silence from now on, also for a click already asked for.
    void stop();

private:
    AudioOutput& output_;
    int planned_ = 0;
    int given_ = 0;
};

}  // namespace tarvel
