// The history in the program: each graded run kept, the best results on the
// key page, and the progress page (page 7) with its chart, table and export.
#include <algorithm>

#include "app/heard_notes.h"
#include "app/program.h"
#include "app/texts.h"
#include "history/progress.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

constexpr std::size_t kTableRuns = 12;

// "/home/me/export.csv" -> "/home/me/export-notes.csv".
std::string notesPathBeside(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + "-notes.csv";
    return path.substr(0, dot) + "-notes" + path.substr(dot);
}

}  // namespace

void Program::tellHistoryMessages() {
    for (const std::string& message : history_->takeMessages()) w_.showMessage(message);
}

// A run the player heard is kept note by note (verdicts only, never sound);
// a drill is kept as a drill, apart from the keys' runs.
void Program::keepInHistory(std::string_view grade, int gradeNo) {
    const TimeOfDay time = w_.timeOfDay();
    HistoryRun run;
    run.playedAt = playedAtText(w_.today(), time.hour, time.minute, time.second);
    run.system = s_.Settings[1];
    run.pairing = s_.Settings[2];
    run.key = s_.Settings[3];
    run.tempo = s_.Settings[4];
    run.answer = s_.Settings[5];
    run.grade = std::string(grade);
    run.gradeNo = gradeNo;
    if (heard_.judgement && proposedAnswer(*heard_.judgement)) {
        run.heardSlips = heard_.judgement->slips;
        run.notes = heardNotesOf(*heard_.judgement, slotNotes_);
    }
    if (!s_.drillExercise.empty()) run.kind = std::string(kDrillRun);
    heard_ = {};  // kept now: page 5 is gone and the next run hears anew
    history_->add(run);
    tellHistoryMessages();
}

void Program::showBestBadges() {
    if (const auto best = history_->best(s_.Settings[1], s_.Settings[2])) {
        for (int k = 0; k < el::keyCount; ++k) {
            if (!(*best)[static_cast<std::size_t>(k)]) continue;
            w_.setCaption(el::Best_lbl(k), badgeText(*(*best)[static_cast<std::size_t>(k)]));
            w_.show(el::Best_lbl(k));
        }
    }
    tellHistoryMessages();
}

void Program::Show_P7() {
    enterPage(Page::Progress);
    w_.show(el::P7_BtnA);
    w_.show(el::P7_BtnB);
    w_.show(el::P7_BtnC);
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kProgressPrompt));

    const std::optional<ProgressSummary> summary =
        history_->progress(s_.Settings[1], s_.Settings[2], w_.today(), kTableRuns);
    const ProgressSummary shown = summary.value_or(ProgressSummary{});
    std::vector<std::string> keys;
    for (std::size_t k = 0; k < Key_tbl.size(); ++k) {
        const int count = shown.runsPerKey[k];
        keys.push_back(std::string(Key_tbl[k].japanese) + (count ? "（" + std::to_string(count) + "回）" : ""));
    }
    const int chosen = preselectedKey(shown.lastRuns, s_.Settings[3]);
    progressKeys_ = keys;
    w_.setChoices(el::P7_Key, keys, chosen);
    showChart(chosen);
    w_.setTable(el::P7_Table, lastRunsTable(shown.lastRuns));
    progressRunIds_ = shown.lastRunIds;
    if (!progressRunIds_.empty()) w_.show(el::P7_BtnD);
    w_.setCaption(el::P7_Days, "練習した日　今週 " + std::to_string(shown.days.week) + "日　今月 " +
                                   std::to_string(shown.days.month) + "日");
    w_.setCaption(el::P7_Note,
                  !summary ? "記録の履歴を読めないので、グラフと表は空です。" : std::string(text::kProgressHelp));

    w_.show(el::P7_Key);
    w_.show(el::P7_Days);
    w_.show(el::P7_Chart);
    w_.show(el::P7_Table);
    w_.show(el::P7_Note);
    tellHistoryMessages();
}

void Program::Hide_P7() {
    enterPage(Page::None);
    for (ElementId id : {el::P7_BtnA, el::P7_BtnB, el::P7_BtnC, el::P7_BtnD, el::P7_Key, el::P7_Days, el::P7_Chart,
                         el::P7_Table, el::P7_Note})
        w_.hide(id);
    progressRunIds_.clear();
    progressKeys_.clear();
}

void Program::showChart(int key) {
    const std::string_view code = Key_tbl[static_cast<std::size_t>(key)].code;
    const auto chart = history_->chart(s_.Settings[1], s_.Settings[2], code);
    w_.setChart(el::P7_Chart, chart.value_or(gradeChart({}, code)));
}

void Program::P7_BtnA_Click() {
    Hide_P7();
    Show_P3();
}

void Program::P7_Key_Change() {
    const int k = w_.chosenIndex(el::P7_Key);
    if (k < 0 || k >= el::keyCount) return;
    showChart(k);
    tellHistoryMessages();
}

// Takes back the run chosen in the table (the newest when none is), once the
// player agrees: from the history only; the key's record keeps its last grade.
void Program::P7_BtnD_Click() {
    if (progressRunIds_.empty()) return;
    const int row = std::max(0, w_.chosenIndex(el::P7_Table));
    if (row >= static_cast<int>(progressRunIds_.size())) return;
    const auto summary = history_->progress(s_.Settings[1], s_.Settings[2], w_.today(), kTableRuns);
    tellHistoryMessages();
    if (!summary || summary->lastRunIds != progressRunIds_) return;  // changed meanwhile: shown again below
    const HistoryRun& run = summary->lastRuns[static_cast<std::size_t>(row)];
    const TableData shown = lastRunsTable({run});
    std::string what;
    for (const std::string& field : shown.rows.front()) what += (what.empty() ? "" : "　") + field;
    const std::string question = "この回を記録の履歴から取り消しますか？\n\n" + what +
                                 "\n\nグラフと表から消えます。調の記録フォルダの成績はそのままです。";
    if (!desktop_->confirm("回の取り消し", question)) return;
    const bool removed = history_->remove(progressRunIds_[static_cast<std::size_t>(row)]);
    tellHistoryMessages();
    const int key = w_.chosenIndex(el::P7_Key);
    Hide_P7();
    Show_P7();
    if (key >= 0 && key < el::keyCount) {
        w_.setChoices(el::P7_Key, progressKeys_, key);
        showChart(key);
    }
    if (removed) w_.setCaption(el::P7_Note, "取り消しました：" + what);
}

void Program::moveProgressKey(int step) {
    const int now = w_.chosenIndex(el::P7_Key);
    const int next = std::clamp(now + step, 0, static_cast<int>(progressKeys_.size()) - 1);
    if (now < 0 || next == now) return;
    w_.setChoices(el::P7_Key, progressKeys_, next);
    P7_Key_Change();
}

// The history as two CSV files that share their date and number: the runs,
// and the heard notes of the heard runs.
void Program::P7_BtnB_Click() {
    const auto runs = history_->runs({}, {}, true);
    tellHistoryMessages();
    if (!runs) {
        w_.setCaption(el::P7_Note, "記録の履歴を読めないので、書き出せません。");
        return;
    }
    // The data folder's first number of the day free for both files is
    // proposed: an export never replaces an earlier one, which the player may
    // have edited. The player may choose any other place (the dialog asks
    // before it replaces).
    auto taken = [&](int n) {
        return files_.exists(exportFileName(w_.today(), n)) || files_.exists(notesExportFileName(w_.today(), n));
    };
    int number = 1;
    while (number < kMaxExportsADay && taken(number)) ++number;
    std::string name = exportFileName(w_.today(), number);
    const std::string proposed = files_.location(name);
    const std::optional<std::string> chosen = desktop_->chooseSavePath(std::string(text::kExportTitle), proposed);
    if (!chosen) return;  // cancelled: nothing written, nothing to say
    if (chosen->find('\\') != std::string::npos) {
        w_.setCaption(el::P7_Note, "名前に「\\」のある場所には書き出せません：\r\n" + *chosen);
        return;
    }
    const std::string csv = csvText(*runs);
    std::string notesName;
    FileResult written;
    if (*chosen != proposed) {
        name = *chosen;
        written = files_.writeFile(name, csv);
        notesName = notesPathBeside(name);
    } else {
        // Taken since it was proposed (another Tarvel): the next number.
        written = files_.writeNewFile(name, csv);
        while (written.status == FileResult::AlreadyExists && number < kMaxExportsADay)
            written = files_.writeNewFile(name = exportFileName(w_.today(), ++number), csv);
        notesName = notesExportFileName(w_.today(), number);
    }
    if (written.status != FileResult::Done) {
        w_.setCaption(el::P7_Note, "書き出せませんでした（" + written.error + "）：\r\n" + files_.location(name));
        return;
    }
    std::string said =
        "記録 " + std::to_string(runs->size()) + " 回分を CSV に書き出しました：\r\n" + files_.location(name);
    const bool anyHeard = std::any_of(runs->begin(), runs->end(), [](const HistoryRun& r) { return !r.notes.empty(); });
    if (anyHeard) {
        const FileResult notes = *chosen != proposed ? files_.writeFile(notesName, notesCsvText(*runs))
                                                     : files_.writeNewFile(notesName, notesCsvText(*runs));
        said += notes.status == FileResult::Done ? "\r\n聴いた音ごとの結果：\r\n" + files_.location(notesName)
                                                 : "\r\n聴いた音ごとの結果は書き出せませんでした（" + notes.error +
                                                       "）：\r\n" + files_.location(notesName);
    }
    w_.setCaption(el::P7_Note, said);
}

}  // namespace tarvel
