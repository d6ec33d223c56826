#include "listen/listener.h"

#include <algorithm>

namespace tarvel {
namespace {

constexpr double kFloorFromMs = 100;  // the input's first moments are not the room yet

}  // namespace

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

void Listener::feed(std::vector<float>& samples) {
    if (humFilter_) humFilter_->process(samples.data(), samples.size());
    tracker_->feed(samples.data(), samples.size(), frames_);
}

void Listener::poll(Instant now) {
    if (!listening_) return;
    AudioBlock block = input_.take(now);
    if (block.samples.empty()) return;
    const std::size_t before = frames_.size();
    // An input that began to deliver late, or dropped samples, leaves a gap:
    // it is silence, so that every frame keeps its place on the run's clock.
    if (block.first > next_) {
        std::vector<float> silence(static_cast<std::size_t>(block.first - next_), 0.0f);
        feed(silence);
    }
    next_ = std::max(next_, block.first) + static_cast<std::int64_t>(block.samples.size());
    feed(block.samples);
    // Level of the frames of the last 100 ms (a frame's level covers its window).
    const std::int64_t recent = frames_.empty() ? 0 : frames_.back().sample - rate_ / 10;
    double level = -120;
    for (std::size_t i = frames_.size(); i > 0 && (i > before || frames_[i - 1].sample >= recent); --i)
        level = std::max(level, static_cast<double>(frames_[i - 1].levelDb));
    recentLevelDb_ = level;
}

double Listener::floorDb() const {
    std::vector<float> levels;
    const auto from = static_cast<std::int64_t>(kFloorFromMs * rate_ / 1000);
    for (const PitchFrame& f : frames_)
        if (f.sample >= from) levels.push_back(f.levelDb);
    if (levels.empty()) return -120;
    std::nth_element(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}

RoomReport Listener::endCountIn(Instant firstBeat) {
    poll(firstBeat);
    const RoomReport room = measureRoom(frames_, rate_, msSinceStart(firstBeat));
    if (room.humHz) humFilter_.emplace(*room.humHz, rate_);
    return room;
}

double Listener::msSinceStart(Instant at) const {
    return std::chrono::duration<double, std::milli>(at - start_).count();
}

void Listener::stop() {
    if (listening_) input_.stop();
    listening_ = false;
    tracker_.reset();
    humFilter_.reset();
    frames_.clear();
    frames_.shrink_to_fit();
    recentLevelDb_ = -120;
}

Judgement Listener::judge(const std::vector<double>& beatStartMs, double beatMs, const std::vector<int>& expectedMidi,
                          const JudgeRule& rule) {
    return judgeRun(frames_, rate_, beatStartMs, beatMs, expectedMidi, rule);
}

}  // namespace tarvel
