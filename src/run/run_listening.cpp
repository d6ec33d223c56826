// Hearing the run: the microphone opens when "いくよ" shows, a level meter
// moves during the count-in, every beat's instant is kept, and the whole run
// is judged once, after the closing pause.
#include <algorithm>
#include <cmath>

#include "run/practice_run.h"

namespace tarvel {
namespace {

constexpr int kLevelSliceMs = 100;
constexpr int kLevelSteps = 10;
constexpr double kLevelFloorDb = -60;
constexpr double kLevelTopDb = -10;

std::string levelBar(double db) {
    const double share = std::clamp((db - kLevelFloorDb) / (kLevelTopDb - kLevelFloorDb), 0.0, 1.0);
    const int lit = static_cast<int>(std::lround(share * kLevelSteps));
    std::string bar = "マイク\r\n";
    for (int i = 0; i < kLevelSteps; ++i) bar += i < lit ? "■" : "□";
    return bar;
}

}  // namespace

void PracticeRun::startListening() {
    if (!listen_ || slots_.Unshi_no.size() != static_cast<std::size_t>(s_.Onp_cnt)) return;
    listener_ = std::make_unique<Listener>(input_);
    if (!listener_->start(pauses_.deadline())) {
        listener_.reset();
        heard_.inputFailed = true;
        return;
    }
    w_.setCaption(el::Lab_Onryo, levelBar(kLevelFloorDb));
    w_.show(el::Lab_Onryo);
    countingIn_ = true;
}

// The meter moves during the count-in, so its pauses (each one pause on the
// grid) are waited out in slices with an event pump between them.
bool PracticeRun::countInPause(Instant end) {
    for (;;) {
        pauses_.sleepUntil(std::min(end, w_.now() + std::chrono::milliseconds(kLevelSliceMs)));
        if (cancelRequested()) return false;  // the pause woke for a cancel
        listener_->poll(w_.now());
        w_.setCaption(el::Lab_Onryo, levelBar(listener_->recentLevelDb()));
        if (w_.now() >= end) return true;
        if (!pump()) return false;
    }
}

void PracticeRun::judge() {
    if (!listener_) return;
    listener_->poll(w_.now());
    std::vector<int> expected;
    for (const std::int16_t line : slots_.Unshi_no) expected.push_back(soundingPitch(line));
    heard_.judgement = listener_->judge(beatStartMs_, Beat_ms, expected);
    stopListening();
    if (onJudged) onJudged(*heard_.judgement);
}

void PracticeRun::stopListening() {
    countingIn_ = false;
    if (!listener_) return;
    listener_->stop();
    listener_.reset();
    beatStartMs_.clear();
    w_.hide(el::Lab_Onryo);
}

}  // namespace tarvel
