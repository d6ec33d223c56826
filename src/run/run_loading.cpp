// The run's loading stage: the exercise read and checked whole, its note
// pictures and fingering pictures put in their slots, and what the player is
// told of a file that cannot be used.
#include <algorithm>
#include <set>

#include "app/choices.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "run/practice_run.h"

namespace tarvel {
namespace {

constexpr int kMissingNamesShown = 5;

}  // namespace

bool PracticeRun::Load_exercise() {
    if (s_.Settings[6] == "0") return true;  // the last exercise is still in place
    w_.setFontName(el::Label1, std::string(text::kUiFont));
    w_.setFontSize(el::Label1, text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kLoading));
    if (!pump()) return false;

    const std::string path =
        s_.drillExercise.empty() ? exercisePath(s_.Settings[1], s_.Settings[2], s_.Settings[3]) : s_.drillExercise;
    const TextFile file = files_.readText(path);
    if (!file.ok) {
        failBadExercise(path, ExerciseError{ExerciseProblem::Missing, 0, file.error});
        return false;
    }
    auto read = readExercise(file.lines, s_.Settings[2], w_.isChecked(el::Check1));
    if (const auto* error = std::get_if<ExerciseError>(&read)) {
        failBadExercise(path, *error);
        return false;
    }
    LoadedExercise& exercise = std::get<LoadedExercise>(read);
    slots_ = std::move(exercise.notes);
    const MappedNotes& notes = slots_;
    s_.Choshi_tbl = exercise.Choshi_tbl;
    s_.Onp_cnt = static_cast<std::int16_t>(notes.Onp_pic.size());

    std::vector<std::string> missing;
    auto load = [&](ElementId id, const std::string& picture) {
        if (w_.setPicture(id, picture) != PictureLoad::Loaded) missing.push_back(picture);
    };
    for (int n = 0; n < s_.Onp_cnt; ++n) load(el::onp_img(n), notePicture(notes.Onp_pic[n]));

    w_.setCaption(el::Label1, std::string(text::kLoadingFingers));
    if (!pump()) return false;
    // No events are handled while the fingers load, so no cancel can arrive.
    for (int n = 0; n < s_.Onp_cnt; ++n) {
        const std::string& chartLine = s_.Unshi_tbl[notes.Unshi_no[n]];
        for (int k = 0; k < el::fingersPerNote; ++k) {
            const FingerPosition& finger = kFingerPositions[k];
            load(el::Uns_img(el::fingersPerNote * n + k),
                 fingerPicture(s_.Settings[1], finger.prefix, fingerCode(chartLine, finger)));
        }
    }
    // The mark and the large diagram change pictures on every beat: each one
    // is read here once, so that a beat reads no picture file.
    std::set<std::string> marks, large;
    for (int n = 0; n < s_.Onp_cnt; ++n) {
        marks.insert(nowMarkPicture(notes.Onp_pic[n]));
        const std::string& chartLine = s_.Unshi_tbl[notes.Unshi_no[n]];
        for (const FingerPosition& finger : kFingerPositions)
            large.insert(bigFingerPicture(s_.Settings[1], finger.prefix, fingerCode(chartLine, finger)));
    }
    for (const std::string& picture : marks) load(el::Now_mark(0), picture);
    for (const std::string& picture : large) load(el::Big_finger(0), picture);
    if (!missing.empty()) w_.showMessage(missingPicturesMessage(missing, "その場所は空のまま練習を続けます。"));
    reportEmptyChartLines(notes.Unshi_no);
    return true;
}

void PracticeRun::failBadExercise(const std::string& path, const ExerciseError& error) {
    s_.Settings[6] = "1";
    std::string where = "練習ファイル " + files_.fullPath(path);
    if (error.line > 0) where += " の " + std::to_string(error.line) + " 行目";
    failure_ = where + ":\n" + describeForPlayer(error) + "\n練習を始められません。";
}

void PracticeRun::reportEmptyChartLines(const std::vector<std::int16_t>& chartLines) {
    std::set<int> empty;
    for (const std::int16_t line : chartLines)
        if (s_.Unshi_tbl[static_cast<std::size_t>(line)].empty()) empty.insert(line + 1);
    if (empty.empty()) return;
    std::string chart = "運指表";
    for (const SystemChoice& system : kSystemChoices)
        if (system.setting == s_.Settings[1]) chart += " " + files_.fullPath(std::string(system.chart));
    std::string lines;
    int shown = 0;
    for (const int line : empty) {
        if (shown++ == kMissingNamesShown) break;
        lines += (lines.empty() ? "" : "、") + std::to_string(line);
    }
    lines += " 行目";
    if (empty.size() > static_cast<std::size_t>(kMissingNamesShown))
        lines += "ほか " + std::to_string(empty.size() - static_cast<std::size_t>(kMissingNamesShown)) + " 行";
    w_.showMessage(chart + " には、この練習に要る " + lines +
                   "がないか空です。\nその音符の運指の絵は空のまま練習を続けます。");
}

std::string PracticeRun::missingPicturesMessage(const std::vector<std::string>& paths, std::string_view consequence) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& p : paths)
        if (seen.insert(p).second) names.push_back(p);
    std::string message = "次の絵のファイルを読めません（見つからないか、壊れているか、その場所には大きすぎます）:\n";
    const int shown = std::min(static_cast<int>(names.size()), kMissingNamesShown);
    for (int i = 0; i < shown; ++i) message += "  " + files_.fullPath(names[i]) + "\n";
    if (static_cast<int>(names.size()) > shown)
        message += "  ほか " + std::to_string(names.size() - static_cast<std::size_t>(shown)) + " 個\n";
    return message + std::string(consequence);
}

}  // namespace tarvel
