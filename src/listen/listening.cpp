// Listening to a run: the tempo page's check box and input list, the level
// indicator of the count-in, the judging at the end of the run, and page 5's
// count of slips with the proposed answer. Nothing heard is kept after the
// player answers, cancels or closes, and nothing is written to disk.
#include <algorithm>
#include <array>
#include <cmath>

#include "app/program.h"
#include "listen/listener.h"

namespace tarvel {
namespace {

constexpr int kLevelSliceMs = 100;
constexpr int kLevelSteps = 10;
constexpr double kLevelFloorDb = -60;
constexpr double kLevelTopDb = -10;
constexpr int kSlipsListed = 8;

constexpr std::string_view kNoInput = "マイクが見つからないので、聴くことはできません。";
constexpr std::string_view kNothingHeard =
    "\r\n音が聞こえませんでした。\r\nマイクがミュートになっていないか、\r\nつながっているか確かめてね。";
constexpr std::string_view kInputFailed = "\r\nマイクを開けなかったので、聴けませんでした。";
constexpr std::array<std::string_view, 4> kProposalMarks{"← これかな？", "↑ これかな？", "↑ これかな？",
                                                         "↑ これかな？"};
// Letter index f c g d a e b, as in the written note codes.
constexpr std::array<std::string_view, 7> kSolfege{"ファ", "ド", "ソ", "レ", "ラ", "ミ", "シ"};
constexpr std::array<std::string_view, 5> kSigns{"♭♭", "♭", "", "♯", "♯♯"};

// "ファ♯4" for the written note code 303 (octave digit 1 is the octave from C3).
std::string writtenName(std::int16_t code) {
    const int octaveDigit = code / 100;
    const int letter = code / 10 % 10;
    const int sign = code % 10;
    if (letter > 6 || sign > 4) return "?";
    return std::string(kSolfege[letter]) + std::string(kSigns[sign]) + std::to_string(octaveDigit + 2);
}

std::string levelBar(double db) {
    const double share = std::clamp((db - kLevelFloorDb) / (kLevelTopDb - kLevelFloorDb), 0.0, 1.0);
    const int lit = static_cast<int>(std::lround(share * kLevelSteps));
    std::string bar = "マイク\r\n";
    for (int i = 0; i < kLevelSteps; ++i) bar += i < lit ? "■" : "□";
    return bar;
}

}  // namespace

void Program::showListening() {
    if (!input_) return;
    inputNames_ = input_->deviceNames();
    if (inputNames_.empty()) {
        w_.setEnabled(el::Check3, false);
        w_.setCaption(el::Lab_Mic, std::string(kNoInput));
        w_.show(el::Check3);
        w_.show(el::Lab_Mic);
        return;
    }
    // Keep the player's choice, by name, while that input is still there.
    const auto kept = std::find(inputNames_.begin(), inputNames_.end(), chosenInputName_);
    const auto chosen = kept == inputNames_.end() ? 0 : kept - inputNames_.begin();
    w_.setChoices(el::Cmb_Mic, inputNames_, static_cast<int>(chosen));
    w_.setEnabled(el::Check3, true);
    w_.show(el::Check3);
    w_.show(el::Cmb_Mic);
}

void Program::hideListening() {
    if (!input_) return;
    w_.hide(el::Check3);
    w_.hide(el::Cmb_Mic);
    w_.hide(el::Lab_Mic);
}

void Program::rememberNotes(const MappedNotes& notes) {
    expectedPitch_.clear();
    for (const std::int16_t line : notes.Unshi_no) expectedPitch_.push_back(soundingPitch(line));
    writtenNotes_ = notes.Onp_code;
}

bool Program::startListening() {
    stopListening();
    judgement_.reset();
    listenFailed_ = false;
    if (!input_ || inputNames_.empty() || !w_.isChecked(el::Check3)) return false;
    if (expectedPitch_.size() != static_cast<std::size_t>(s_.Onp_cnt)) return false;
    const int chosen = w_.chosenIndex(el::Cmb_Mic);
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < inputNames_.size()) {
        input_->chooseDevice(static_cast<std::size_t>(chosen));
        chosenInputName_ = inputNames_[static_cast<std::size_t>(chosen)];
    }
    listener_ = std::make_unique<Listener>(*input_);
    if (!listener_->start(deadline_)) {
        listener_.reset();
        listenFailed_ = true;
        return false;
    }
    beatStartMs_.clear();
    w_.setCaption(el::Lab_Onryo, levelBar(kLevelFloorDb));
    w_.show(el::Lab_Onryo);
    return true;
}

bool Program::countInPause(int ms) {
    // Listening: the level indicator moves during the count-in, so the pause
    // (one pause on the grid) is waited out in slices with an event pump
    // between them.
    nextDeadline(ms);
    for (;;) {
        w_.sleepUntil(std::min(deadline_, w_.now() + std::chrono::milliseconds(kLevelSliceMs)));
        if (cancelRequested()) return false;  // the sleep woke for a cancel
        listener_->poll(w_.now());
        w_.setCaption(el::Lab_Onryo, levelBar(listener_->recentLevelDb()));
        if (w_.now() >= deadline_) return true;
        if (!pumpEvents()) return false;
    }
}

void Program::noteBeatStart() {
    if (listener_) beatStartMs_.push_back(listener_->msSinceStart(deadline_));
}

void Program::judgeListening() {
    if (!listener_) return;
    listener_->poll(w_.now());
    judgement_ = listener_->judge(beatStartMs_, Beat_ms, expectedPitch_);
    stopListening();
    if (onJudged) onJudged(*judgement_);
}

void Program::stopListening() {
    countingIn_ = false;
    if (!listener_) return;
    listener_->stop();
    listener_.reset();
    beatStartMs_.clear();
    w_.hide(el::Lab_Onryo);
}

void Program::showHeard() {
    if (listenFailed_) {
        w_.setCaption(el::Lab_Miss, std::string(kInputFailed));
        w_.show(el::Lab_Miss);
        return;
    }
    if (!judgement_) return;
    const Judgement& j = *judgement_;
    const auto proposal = proposedAnswer(j);
    if (!proposal) {
        w_.setCaption(el::Lab_Miss, std::string(kNothingHeard));
        w_.show(el::Lab_Miss);
        return;
    }
    std::string text = "\r\nミス " + std::to_string(j.slips) + " 回";
    int listed = 0;
    for (std::size_t n = 0; n < j.marks.size(); ++n) {
        if (j.marks[n] == Mark::Right) continue;
        if (listed++ == kSlipsListed) break;
        const int note = static_cast<int>(n);
        text += "\r\n　" + std::to_string(note / el::notesPerRow + 1) + " 段目の " +
                std::to_string(note % el::notesPerRow + 1) + " 番目　" +
                (n < writtenNotes_.size() ? writtenName(writtenNotes_[n]) : std::string("?")) + "　" +
                (j.marks[n] == Mark::Wrong ? "ちがう音" : "聞こえない");
    }
    if (j.slips > kSlipsListed) text += "\r\n　ほか " + std::to_string(j.slips - kSlipsListed) + " 個";
    w_.setCaption(el::Lab_Miss, text);
    w_.show(el::Lab_Miss);
    const int k = (*proposal)[0] - '0';
    w_.setCaption(el::Lab_Teian(k), std::string(kProposalMarks[static_cast<std::size_t>(k)]));
    w_.show(el::Lab_Teian(k));
}

void Program::hideHeard() {
    if (!input_) return;
    w_.hide(el::Lab_Miss);
    for (int k = 0; k < 4; ++k) w_.hide(el::Lab_Teian(k));
    judgement_.reset();
    listenFailed_ = false;
}

}  // namespace tarvel
