#include "run/metronome.h"

namespace tarvel {

void Metronome::clickOn(Instant at) {
    if (given_ >= planned_) return;
    const int beat = given_++;  // 0 to 3 the count-in; bars of four from the first note
    output_.scheduleClick(beat % 4 == 0 ? ClickKind::Accent : ClickKind::Beat, at);
}

void Metronome::stop() {
    planned_ = 0;
    given_ = 0;
    output_.stopAll();
}

}  // namespace tarvel
