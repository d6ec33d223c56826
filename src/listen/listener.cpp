#include "listen/listener.h"

#include <algorithm>

namespace tarvel {

bool Listener::start(Instant at) {
    stop();
    if (!input_.start(at)) return false;
    rate_ = input_.sampleRate();
    tracker_ = std::make_unique<AubioPitchTracker>(rate_);
    start_ = at;
    next_ = 0;
    listening_ = true;
    return true;
}

void Listener::poll(Instant now) {
    if (!listening_) return;
    const AudioBlock block = input_.take(now);
    if (block.samples.empty()) return;
    const std::size_t before = frames_.size();
    // An input that began to deliver late, or dropped samples, leaves a gap:
    // it is silence, so that every frame keeps its place on the run's clock.
    if (block.first > next_) {
        const std::vector<float> silence(static_cast<std::size_t>(block.first - next_), 0.0f);
        tracker_->feed(silence.data(), silence.size(), frames_);
    }
    next_ = std::max(next_, block.first) + static_cast<std::int64_t>(block.samples.size());
    tracker_->feed(block.samples.data(), block.samples.size(), frames_);
    // Level of the frames of the last 100 ms (a frame's level covers its window).
    const std::int64_t recent = frames_.empty() ? 0 : frames_.back().sample - rate_ / 10;
    double level = -120;
    for (std::size_t i = frames_.size(); i > 0 && (i > before || frames_[i - 1].sample >= recent); --i)
        level = std::max(level, static_cast<double>(frames_[i - 1].levelDb));
    recentLevelDb_ = level;
}

double Listener::msSinceStart(Instant at) const {
    return std::chrono::duration<double, std::milli>(at - start_).count();
}

void Listener::stop() {
    if (listening_) input_.stop();
    listening_ = false;
    tracker_.reset();
    frames_.clear();
    frames_.shrink_to_fit();
    recentLevelDb_ = -120;
}

Judgement Listener::judge(const std::vector<double>& beatStartMs, double beatMs, const std::vector<int>& expectedMidi) {
    return judgeRun(frames_, rate_, beatStartMs, beatMs, expectedMidi);
}

}  // namespace tarvel
