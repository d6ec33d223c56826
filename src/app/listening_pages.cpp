// Listening on the pages: the tempo page's check box and input list, and page
// 5's count of slips with the proposed answer and the run's intonation. The
// history keeps the verdicts once the run is graded; no sound is ever kept.
#include <algorithm>
#include <array>
#include <cmath>

#include "app/heard_notes.h"
#include "app/program.h"
#include "data/written_note.h"

namespace tarvel {
namespace {

constexpr int kSlipsListed = 8;

constexpr std::string_view kNoInput = "マイクが見つからないので、聴くことはできません。";
constexpr std::string_view kNothingHeard =
    "\r\n音が聞こえませんでした。\r\nマイクがミュートになっていないか、\r\nつながっているか確かめてね。";
constexpr std::string_view kInputFailed = "\r\nマイクを開けなかったので、聴けませんでした。";
constexpr std::string_view kTooNoisy = "\r\n部屋の音が大きすぎて、聞き分けられませんでした。";
constexpr int kSteadyLagSpreadMs = 60;  // a lag that moved more is told as a range
constexpr int kVeryQuietDb = 60;
constexpr std::array<std::string_view, 4> kProposalMarks{"← これかな？", "↑ これかな？", "↑ これかな？",
                                                         "↑ これかな？"};
std::string place(int note) {
    return std::to_string(note / el::notesPerRow + 1) + " 段目の " + std::to_string(note % el::notesPerRow + 1) +
           " 番目";
}

// Every slip in the order it was played: a note not right by its place and
// the written note it asked for, an extra note between the two it fell
// between.
std::vector<std::string> slipLines(const Judgement& j, const std::vector<std::int16_t>& written) {
    std::vector<std::string> lines;
    for (std::size_t n = 0; n <= j.marks.size(); ++n) {
        const int note = static_cast<int>(n);
        if (std::find(j.extraBefore.begin(), j.extraBefore.end(), note) != j.extraBefore.end()) {
            if (note == 0)
                lines.push_back(place(0) + "の前　余分な音");
            else if (n == j.marks.size())
                lines.push_back(place(note - 1) + "のあと　余分な音");
            else
                lines.push_back(place(note - 1) + "と次のあいだ　余分な音");
        }
        if (n == j.marks.size() || j.marks[n] == Mark::Right) continue;
        lines.push_back(place(note) + "　" + (n < written.size() ? writtenNoteName(written[n]) : std::string("?")) +
                        "　" + (j.marks[n] == Mark::Wrong ? "ちがう音" : "聞こえない"));
    }
    return lines;
}

// One line on how well the run was heard: how far the room's noise lay below
// the playing (and a hum taken out), and when the player's notes began.
std::string howItWasHeard(const Judgement& j) {
    const int quieter = static_cast<int>(std::lround(j.playedDb - j.room.floorDb));
    std::string line =
        quieter >= kVeryQuietDb ? "（部屋はとても静か" : "（部屋の音 −" + std::to_string(quieter) + " dB";
    if (j.room.humHz)
        line += "・" + std::to_string(static_cast<int>(std::lround(*j.room.humHz))) + " Hz のうなりを除去";
    line += "・出だし 拍より ";
    if (j.lagToMs - j.lagFromMs > kSteadyLagSpreadMs)
        return line + std::to_string(j.lagFromMs) + "〜" + std::to_string(j.lagToMs) + " ms）";
    return line + (j.lagMs < 0 ? std::to_string(-j.lagMs) + " ms 早め）" : std::to_string(j.lagMs) + " ms 遅め）");
}

}  // namespace

void Program::showListening() {
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
    std::vector<std::string> pitches;
    for (int hz = kLowestA4; hz <= kHighestA4; ++hz)
        pitches.push_back(std::to_string(hz) + " Hz" + (hz == kStandardA4 ? "（標準）" : ""));
    w_.setChoices(el::Cmb_A4, pitches, preferences_.a4Hz - kLowestA4);
    w_.show(el::Lab_A4);
    w_.show(el::Cmb_A4);
}

void Program::hideListening() {
    w_.hide(el::Check3);
    w_.hide(el::Cmb_Mic);
    w_.hide(el::Lab_Mic);
    w_.hide(el::Lab_A4);
    w_.hide(el::Cmb_A4);
}

void Program::Cmb_A4_Change() {
    const int chosen = w_.chosenIndex(el::Cmb_A4);
    if (chosen < 0 || chosen > kHighestA4 - kLowestA4) return;
    preferences_.a4Hz = kLowestA4 + chosen;
    const FileResult written = writePreferences(files_, preferences_);
    if (written.status != FileResult::Done)
        w_.showMessage("基準の音の高さ（A4＝" + std::to_string(preferences_.a4Hz) + " Hz）を " +
                       files_.fullPath(std::string(kPreferencesFile)) + " に書き込めませんでした（" + written.error +
                       "）。\nTarvel を終えるまではこの高さで聴きます。");
}

// The tempo page's box and list give the run its input: the one chosen, kept
// by name for the next visit.
Listening Program::listeningChosen() {
    if (inputNames_.empty() || !w_.isChecked(el::Check3)) return {};
    const int chosen = w_.chosenIndex(el::Cmb_Mic);
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < inputNames_.size()) {
        input_->chooseDevice(static_cast<std::size_t>(chosen));
        chosenInputName_ = inputNames_[static_cast<std::size_t>(chosen)];
    }
    return {true, static_cast<double>(preferences_.a4Hz)};
}

void Program::showHeard() {
    if (heard_.inputFailed) {
        w_.setCaption(el::Lab_Miss, std::string(kInputFailed));
        w_.show(el::Lab_Miss);
        return;
    }
    if (!heard_.judgement) return;
    const Judgement& j = *heard_.judgement;
    const auto proposal = proposedAnswer(j);
    if (!proposal) {
        w_.setCaption(el::Lab_Miss, std::string(j.heard ? kTooNoisy : kNothingHeard));
        w_.show(el::Lab_Miss);
        return;
    }
    std::string text = "\r\nミス " + std::to_string(j.slips) + " 回";
    const std::vector<std::string> slips = slipLines(j, slotNotes_.Onp_code);
    // Eight slips, or seven and how many more: the how-heard line below may
    // wrap, and the label holds twelve lines.
    const std::size_t listed = slips.size() > kSlipsListed ? kSlipsListed - 1 : slips.size();
    for (std::size_t i = 0; i < listed; ++i) text += "\r\n　" + slips[i];
    if (slips.size() > listed) text += "\r\n　ほか " + std::to_string(slips.size() - listed) + " 個";
    text += "\r\n" + howItWasHeard(j);
    w_.setCaption(el::Lab_Miss, text);
    w_.show(el::Lab_Miss);
    showScore(slipMarksOf(j));
    if (const std::string tuning = tuningText(heardNotesOf(j, slotNotes_)); !tuning.empty()) {
        w_.setCaption(el::Lab_Tune, tuning);
        w_.show(el::Lab_Tune);
    }
    const int k = (*proposal)[0] - '0';
    w_.setCaption(el::Lab_Teian(k), std::string(kProposalMarks[static_cast<std::size_t>(k)]));
    w_.show(el::Lab_Teian(k));
}

void Program::hideHeard() {
    w_.hide(el::Lab_Miss);
    hideScore();
    for (int k = 0; k < 4; ++k) w_.hide(el::Lab_Teian(k));
    w_.hide(el::Lab_Tune);
}

}  // namespace tarvel
