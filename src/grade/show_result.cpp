// Grading: the answer buttons of page 5, the grade on Label1 and its record.
#include "app/choices.h"
#include "app/long_routine.h"
#include "app/program.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/result_record.h"
#include "grade/grading.h"
#include "run/pauses.h"

namespace tarvel {
namespace {

constexpr int kResultPauseMs = 1500;

}  // namespace

void Program::P5_Btn_Click(int n) {
    Hide_P5();
    s_.Settings[5] = std::string(kAnswerChoices[n - 1].answer);
    Show_result();
    Show_P6();
}

void Program::Show_result() {
    showHelpButton(false);  // no help while grading
    const Grade grade = gradeRun(s_.Settings[4], s_.Settings[5], s_.Play_cnt);
    s_.Play_cnt = grade.Play_cnt;
    setLabel1Font(text::kGradeSize);
    w_.setCaption(el::Label1, std::string(text::kResult));
    {
        const LongRoutine routine(inLongRoutine_);
        w_.processEvents();                // a close here or in the pause ends the program before the record is written
        Pauses(w_).pause(kResultPauseMs);  // no cancel picture shows: it hears a close only
    }
    w_.setCaption(el::Label1, std::string(text::kLineBreak) + std::string(grade.text));
    // A drill is no key's exercise: it is kept in the history alone.
    const bool drill = !s_.drillExercise.empty();
    const bool recorded = !drill && Write_result(grade.text);
    keepInHistory(grade.text, grade.Grade_no);  // after the record: it never waits for the history
    // Page 6 shows these beside the grade.
    w_.setCaption(el::Ladder_lbl, gradeLadder(grade.Grade_no));
    w_.setCaption(el::Record_lbl, gradeDetails(s_.Settings[4], s_.Play_cnt, recorded, drill));
}

bool Program::Write_result(std::string_view grade) {
    const std::string dir = Result_dir(s_.Settings[1], s_.Settings[2], s_.Settings[3]);
    const std::string name = recordName(shortDateText(w_.today()), grade);
    const RecordOutcome outcome = writeRecord(files_, dir, name);
    const std::string folder = "フォルダ " + files_.fullPath(dir);
    const std::string kept =
        outcome.oldName.empty() ? "どのファイルも作っていません。" : "記録「" + outcome.oldName + "」はそのままです。";
    switch (outcome.kind) {
    case RecordOutcome::Renamed:
    case RecordOutcome::Unchanged:
    case RecordOutcome::Created: return true;
    case RecordOutcome::NameTaken:
        w_.showMessage("成績を記録できませんでした。\n" + folder + " には「" + name +
                       "」という名前のファイルがすでにあります。\n" + kept);
        return false;
    case RecordOutcome::NotARecordFolder:
        w_.showMessage("成績を記録できませんでした。\n" + folder +
                       " はシンボリックリンクを通った先にあるので、記録のフォルダとして使いません。\n"
                       "そこではなにも作らず、名前も変えていません。");
        return false;
    case RecordOutcome::Failed:
        w_.showMessage("成績を記録できませんでした（" + outcome.detail + "）。\n" + folder + ": " + kept);
        return false;
    }
    return false;
}

}  // namespace tarvel
