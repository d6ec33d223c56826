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

int cells(double db) {
    const double share = std::clamp((db - kLevelFloorDb) / (kLevelTopDb - kLevelFloorDb), 0.0, 1.0);
    return static_cast<int>(std::lround(share * kLevelSteps));
}

// The microphone's level, with the room's own (its noise, a hum) marked at
// the bottom of the bar, so a player sees how far above the room they play.
std::string levelBar(double db, double roomDb) {
    const int lit = cells(db), room = cells(roomDb);
    std::string bar = "マイク\r\n";
    for (int i = 0; i < kLevelSteps; ++i) bar += i < room ? "▦" : i < lit ? "■" : "□";
    return bar + "\r\n▦ 部屋の音";
}

}  // namespace

void PracticeRun::startListening() {
    if (!listening_.on || slots_.Unshi_no.size() != static_cast<std::size_t>(s_.Onp_cnt)) return;
    listener_ = std::make_unique<Listener>(input_);
    if (!listener_->start(pauses_.deadline())) {
        listener_.reset();
        heard_.inputFailed = true;
        return;
    }
    w_.setCaption(el::Lab_Onryo, levelBar(kLevelFloorDb, kLevelFloorDb));
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
        w_.setCaption(el::Lab_Onryo, levelBar(listener_->recentLevelDb(), listener_->floorDb()));
        if (w_.now() >= end) return true;
        if (!pump()) return false;
    }
}

// The player is silent from "いくよ" to the first beat: what was heard is the
// room. The meter goes, and a hum found is filtered from here on.
void PracticeRun::endCountIn() {
    if (!countingIn_) return;
    w_.hide(el::Lab_Onryo);
    countingIn_ = false;
    listener_->endCountIn(pauses_.deadline());
}

void PracticeRun::judge() {
    if (!listener_) return;
    listener_->poll(w_.now());
    std::vector<int> expected;
    for (const std::int16_t line : slots_.Unshi_no) expected.push_back(soundingPitch(line));
    JudgeRule rule;
    rule.a4Hz = listening_.a4Hz;
    heard_.judgement = listener_->judge(beatStartMs_, Beat_ms, expected, rule);
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
