// Listening on the pages: the tempo page's check box and input list, and page
// 5's count of slips with the proposed answer. What was heard is forgotten
// when the player answers, and nothing heard is written to disk.
#include <algorithm>
#include <array>

#include "app/program.h"

namespace tarvel {
namespace {

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
}

void Program::hideListening() {
    w_.hide(el::Check3);
    w_.hide(el::Cmb_Mic);
    w_.hide(el::Lab_Mic);
}

// The tempo page's box and list give the run its input: the one chosen, kept
// by name for the next visit.
bool Program::listeningChosen() {
    if (inputNames_.empty() || !w_.isChecked(el::Check3)) return false;
    const int chosen = w_.chosenIndex(el::Cmb_Mic);
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < inputNames_.size()) {
        input_->chooseDevice(static_cast<std::size_t>(chosen));
        chosenInputName_ = inputNames_[static_cast<std::size_t>(chosen)];
    }
    return true;
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
                (n < slotNotes_.Onp_code.size() ? writtenName(slotNotes_.Onp_code[n]) : std::string("?")) + "　" +
                (j.marks[n] == Mark::Wrong ? "ちがう音" : "聞こえない");
    }
    if (j.slips > kSlipsListed) text += "\r\n　ほか " + std::to_string(j.slips - kSlipsListed) + " 個";
    w_.setCaption(el::Lab_Miss, text);
    w_.show(el::Lab_Miss);
    showScore(slipMarksOf(j));
    const int k = (*proposal)[0] - '0';
    w_.setCaption(el::Lab_Teian(k), std::string(kProposalMarks[static_cast<std::size_t>(k)]));
    w_.show(el::Lab_Teian(k));
}

void Program::hideHeard() {
    w_.hide(el::Lab_Miss);
    hideScore();
    for (int k = 0; k < 4; ++k) w_.hide(el::Lab_Teian(k));
    heard_ = {};
}

}  // namespace tarvel
