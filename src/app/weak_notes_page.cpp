// The weak-notes page (page 8): the notes the player misses most with their
// fingering, how each note is tuned, and the drill made of the missed notes,
// played through the same run as a key's exercise but kept only in the history.
#include <algorithm>
#include <cmath>
#include <map>

#include "app/program.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/fingering_keys.h"
#include "data/written_note.h"
#include "drill/drill_exercise.h"
#include "drill/spacing.h"
#include "history/progress.h"
#include "keys/key_table.h"
#include "listen/judging.h"

namespace tarvel {
namespace {

constexpr int kWeakWindowDays = 30;
constexpr std::string_view kDrillFile = "tarvel-drill.txt";

std::string percent(double rate) { return std::to_string(std::lround(rate * 100)) + "%"; }

// "12/7" of "2026-12-07 14:03:05".
std::string shortDay(const std::string& playedAt) {
    if (playedAt.size() < 10) return playedAt;
    const int month = std::stoi(playedAt.substr(5, 2));
    const int day = std::stoi(playedAt.substr(8, 2));
    return std::to_string(month) + "/" + std::to_string(day);
}

}  // namespace

std::string Program::todayText() { return playedAtText(w_.today(), 0, 0, 0).substr(0, 10); }

void Program::P7_BtnC_Click() {
    Hide_P7();
    Show_P8();
}

void Program::P8_BtnA_Click() {
    Hide_P8();
    Show_P7();
}

void Program::Show_P8() {
    enterPage(Page::Weak);
    w_.show(el::P8_BtnA);
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kWeakPrompt));
    showWhere(CaptionDepth::Pairing);

    const std::string today = todayText();
    const auto log = history_->noteDays(s_.Settings[1], s_.Settings[2], "");
    tellHistoryMessages();
    weakShown_ = log ? weakNotes(*log, today, kWeakWindowDays) : std::vector<WeakNote>{};
    for (int i = 0; i < el::weakShown && i < static_cast<int>(weakShown_.size()); ++i)
        showWeakNote(i, weakShown_[static_cast<std::size_t>(i)]);

    std::string heading;
    if (!log)
        heading = "記録の履歴を読めないので、苦手な音を出せません。";
    else if (weakShown_.empty() && log->empty())
        heading =
            "まだ聴いた音がありません。テンポのページで「マイクで聴く」に印をつけて吹くと、"
            "まちがえた音と音程がここに出ます。";
    else if (weakShown_.empty())
        heading = "ここ 30 日に聴いた音は、どれも合っていました。苦手な音はありません。";
    else
        heading = "ここ 30 日でよくまちがえる音（ミスの割合の高い順" +
                  (weakShown_.size() > el::weakShown ? "、全部で " + std::to_string(weakShown_.size()) + " 音" : "") +
                  "）";
    w_.setCaption(el::P8_Note, heading);
    w_.show(el::P8_Note);

    // The tuning chart: each note's register from the fingering it was last asked with.
    tendenciesShown_ = log ? tuningTendencies(*log, today, kWeakWindowDays) : std::vector<Tendency>{};
    std::map<std::int16_t, std::int16_t> lastLine;
    if (log)
        for (const NoteDay& d : *log) lastLine[d.written] = d.chartLine;
    TuneChartData chart;
    for (const Tendency& t : tendenciesShown_)
        chart.points.push_back({writtenNoteName(t.written), soundingPitch(lastLine[t.written]) + 2, t.cents, t.count});
    w_.setTuneChart(el::P8_Tune, chart);
    w_.show(el::P8_Tune);
    if (!weakShown_.empty()) w_.show(el::P8_BtnD);
}

void Program::showWeakNote(int i, const WeakNote& note) {
    const std::size_t line = static_cast<std::size_t>(std::clamp<int>(note.chartLine, 0, kChartLines - 1));
    const std::string& chartLine = s_.Unshi_tbl[line];
    for (int k = 0; k < el::fingersPerNote; ++k) {
        const FingerPosition& finger = kFingerPositions[static_cast<std::size_t>(k)];
        const ElementId id = el::P8_Fng(el::fingersPerNote * i + k);
        w_.setPicture(id, fingerPicture(s_.Settings[1], finger.prefix, fingerCode(chartLine, finger)));
        w_.show(id);
    }
    std::string figures = writtenNoteName(note.written) + "　ミス " + percent(note.missRate) + "\r\n" +
                          std::to_string(note.heard) + " 回中 " + std::to_string(note.missed) + " 回";
    if (!note.lastMissedAt.empty()) figures += "\r\n最後のミス " + shortDay(note.lastMissedAt);
    w_.setCaption(el::P8_Weak(i), figures);
    w_.show(el::P8_Weak(i));
}

void Program::Hide_P8() {
    enterPage(Page::None);
    for (const ElementId id : {el::P8_BtnA, el::P8_BtnD, el::P8_Note, el::P8_Tune, el::Where_lbl}) w_.hide(id);
    hideElements(el::P8_Weak(0), el::P8_Weak(el::weakShown - 1));
    hideElements(el::P8_Fng(0), el::P8_Fng(el::weakShown * el::fingersPerNote - 1));
}

void Program::P8_BtnD_Click() {
    std::string problem;
    if (!writeDrill(problem)) {
        w_.setCaption(el::P8_Note, problem);
        return;
    }
    Hide_P8();
    // The drill is played in the key chosen last: its neighbours are that key's.
    if (!keyIndex(s_.Settings[3])) s_.Settings[3] = std::string(Key_tbl[0].code);
    s_.Settings[6] = "1";
    Show_P4();
}

// The notes due today, most missed first, each between its neighbours in the
// key; written into the player's part of the data folder, never the data set's.
bool Program::writeDrill(std::string& problem) {
    const std::string today = todayText();
    const auto log = history_->noteDays(s_.Settings[1], s_.Settings[2], "");
    tellHistoryMessages();
    if (!log) {
        problem = "記録の履歴を読めないので、ドリルを作れません。";
        return false;
    }
    std::vector<std::int16_t> weakFirst;
    std::map<std::int16_t, std::int16_t> lineOf;
    for (const WeakNote& w : weakNotes(*log, today, kWeakWindowDays)) {
        weakFirst.push_back(w.written);
        lineOf[w.written] = w.chartLine;
    }
    const std::vector<std::int16_t> due = tarvel::drillTargets(noteBoxes(*log), weakFirst, today, kDrillMostTargets);
    if (due.empty()) {
        problem = "きょうドリルする音はありません。苦手な音は、合っていた日から 1〜8 日休ませてからまた出ます。";
        return false;
    }
    const std::string key = keyIndex(s_.Settings[3]) ? s_.Settings[3] : std::string(Key_tbl[0].code);
    const std::int16_t offset = pairingOffset(s_.Settings[2]);
    auto playable = [&](std::int16_t written) {
        const auto line = chartLineOfWritten(written, 0, offset);
        if (!line) return false;
        const std::string& fingering = s_.Unshi_tbl[static_cast<std::size_t>(*line)];
        return !fingering.empty() && !unplayableLine(fingering);
    };
    std::vector<DrillNote> targets;
    targets.reserve(due.size());
    for (const std::int16_t written : due) targets.push_back({written, lineOf[written] % 10});
    const std::vector<std::string> lines = drillExercise(targets, key, playable);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const FileResult written = files_.writeFile(std::string(kDrillFile), text);
    if (written.status != FileResult::Done) {
        problem = "ドリルのファイル " + files_.location(std::string(kDrillFile)) + " を書けませんでした（" +
                  written.error + "）。";
        return false;
    }
    s_.drillExercise = std::string(kDrillFile);
    drillTargets_ = due;
    drillNotes_ = static_cast<int>(lines.size()) - 2;  // without the key line and the end line
    return true;
}

// Leaving for the key page ends the drill: the key's own exercise is loaded next.
void Program::endDrill() {
    if (s_.drillExercise.empty()) return;
    s_.drillExercise.clear();
    drillTargets_.clear();
    drillNotes_ = 0;
    s_.Settings[6] = "1";
}

}  // namespace tarvel
