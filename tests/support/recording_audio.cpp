#include "support/recording_audio.h"

namespace tarvel::test {

void RecordingAudio::scheduleClick(ClickKind kind, Instant at) { clicks.push_back(Click{kind, at, clock_.now()}); }

void RecordingAudio::stopAll() {
    const Instant now = clock_.now();
    stops.push_back(now);
    for (Click& c : clicks)
        if (c.at > now) c.heard = false;
}

std::vector<std::string> RecordingAudio::heard() const {
    std::vector<std::string> result;
    for (const Click& c : clicks)
        if (c.heard)
            result.push_back((c.kind == ClickKind::Accent ? "accent " : "beat ") +
                             std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(c.at).count()));
    return result;
}

}  // namespace tarvel::test
