// The practice run: loading the exercise, the run screen, the count-in, the
// beats with their rolling rows of notes, the end, and the cancel picture.
#include <algorithm>
#include <set>

#include "app/choices.h"
#include "app/long_routine.h"
#include "app/program.h"
#include "app/texts.h"
#include "data/data_paths.h"

namespace tarvel {
namespace {

constexpr int kCountInMs = 1500;
constexpr int kClosingPauseMs = 500;
constexpr int kEndCaptionMs = 1500;
constexpr int kMissingNamesShown = 5;

constexpr std::array<ElementId, 5> kRunElements{el::Gosen_img1, el::Gosen_img2, el::Choshi(0), el::Choshi(1),
                                                el::Cancel_img};

}  // namespace

void Program::Play_run() {
    const LongRoutine routine(inLongRoutine_);
    // Whatever way the run ends (cancel, close), nothing heard outlives it.
    struct StopListening {
        Program& p;
        ~StopListening() { p.stopListening(); }
    } const stopListening{*this};
    judgement_.reset();
    listenFailed_ = false;
    Beat_ms = beatLength(s_.Settings[4]);
    if (!Load_exercise()) return;
    if (!showRunScreen()) return;
    w_.setCaption(el::Label1, "");
    showElements(el::onp_img(0), el::onp_img(2 * el::notesPerRow - 1));

    // Count-in. From here every pause ends on a grid of deadlines, so the time
    // spent drawing does not lengthen the beats.
    deadline_ = w_.now();
    startMetronome();
    setLabel1Font(text::kCountSize);
    // The player is heard from the moment "いくよ" shows.
    countingIn_ = startListening();
    if (!say(text::kCountInStart, kCountInMs)) return;
    setLabel1Font(text::kCountSize);
    for (const std::string_view count : text::kCounts)
        if (!say(count, Beat_ms)) return;
    w_.setFontSize(el::Label1, text::kPromptSize);
    if (countingIn_) w_.hide(el::Lab_Onryo);
    countingIn_ = false;

    const int rows = s_.Onp_cnt / el::notesPerRow;
    for (int n = 0; n < el::notesPerRow; ++n)
        if (!Step_note(n)) return;
    for (int p = 0; p <= rows - 3; ++p) {
        const int first = el::notesPerRow * p;
        hideRow(first);
        showElements(el::onp_img(first + 2 * el::notesPerRow), el::onp_img(first + 3 * el::notesPerRow - 1));
        for (int n = first + el::notesPerRow; n < first + 2 * el::notesPerRow; ++n)
            if (!Step_note(n)) return;
    }
    hideRow(s_.Onp_cnt - 2 * el::notesPerRow);
    for (int n = s_.Onp_cnt - el::notesPerRow; n < s_.Onp_cnt; ++n)
        if (!Step_note(n)) return;
    if (!pumpEvents()) return;
    if (!sleepFor(kClosingPauseMs)) return;
    judgeListening();  // the closing pause has heard the last note out
    hideRow(s_.Onp_cnt - el::notesPerRow);

    for (const ElementId id : kRunElements) w_.hide(id);
    w_.hide(el::Where_run_lbl);
    if (!pumpEvents()) return;
    if (!say(text::kRunEnd, kEndCaptionMs)) return;
    w_.setCaption(el::Label1, "");
    Show_P5();
    if (s_.Cancel_flg == 1) s_.Cancel_flg = 0;
}

bool Program::Load_exercise() {
    if (s_.Settings[6] == "0") return true;  // the last exercise is still in place
    setLabel1Font(text::kPromptSize);
    w_.setCaption(el::Label1, std::string(text::kLoading));
    if (!pumpEvents()) return false;

    const std::string path = exercisePath(s_.Settings[1], s_.Settings[2], s_.Settings[3]);
    const TextFile file = files_.readText(path);
    if (!file.ok) {
        reportBadExercise(path, ExerciseError{ExerciseProblem::Missing, 0, file.error});
        return false;
    }
    auto read = readExercise(file.lines, s_.Settings[2], w_.isChecked(el::Check1));
    if (const auto* error = std::get_if<ExerciseError>(&read)) {
        reportBadExercise(path, *error);
        return false;
    }
    const LoadedExercise& exercise = std::get<LoadedExercise>(read);
    const MappedNotes& notes = exercise.notes;
    rememberNotes(notes);
    s_.Choshi_tbl = exercise.Choshi_tbl;
    s_.Onp_cnt = static_cast<std::int16_t>(notes.Onp_pic.size());

    std::vector<std::string> missing;
    auto load = [&](ElementId id, const std::string& picture) {
        if (w_.setPicture(id, picture) != PictureLoad::Loaded) missing.push_back(picture);
    };
    for (int n = 0; n < s_.Onp_cnt; ++n) load(el::onp_img(n), notePicture(notes.Onp_pic[n]));

    w_.setCaption(el::Label1, std::string(text::kLoadingFingers));
    if (!pumpEvents()) return false;
    // No events are handled while the fingers load, so no cancel can arrive.
    for (int n = 0; n < s_.Onp_cnt; ++n) {
        const std::string& chartLine = s_.Unshi_tbl[notes.Unshi_no[n]];
        for (int k = 0; k < el::fingersPerNote; ++k) {
            const FingerPosition& finger = kFingerPositions[k];
            load(el::Uns_img(el::fingersPerNote * n + k),
                 fingerPicture(s_.Settings[1], finger.prefix, fingerCode(chartLine, finger)));
        }
    }
    if (!missing.empty()) reportMissingPictures(missing, "その場所は空のまま練習を続けます。");
    reportEmptyChartLines(notes.Unshi_no);
    return true;
}

void Program::reportBadExercise(const std::string& path, const ExerciseError& error) {
    s_.Settings[6] = "1";
    Show_P4();
    std::string where = "練習ファイル " + files_.fullPath(path);
    if (error.line > 0) where += " の " + std::to_string(error.line) + " 行目";
    w_.showMessage(where + ":\n" + describeForPlayer(error) + "\n練習を始められません。");
}

void Program::reportEmptyChartLines(const std::vector<std::int16_t>& chartLines) {
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

void Program::reportMissingPictures(const std::vector<std::string>& paths, std::string_view consequence) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& p : paths)
        if (seen.insert(p).second) names.push_back(p);
    std::string message = "次の絵のファイルを読めません（見つからないか、壊れているか、その場所には大きすぎます）:\n";
    const int shown = std::min(static_cast<int>(names.size()), kMissingNamesShown);
    for (int i = 0; i < shown; ++i) message += "  " + files_.fullPath(names[i]) + "\n";
    if (static_cast<int>(names.size()) > shown)
        message += "  ほか " + std::to_string(names.size() - static_cast<std::size_t>(shown)) + " 個\n";
    w_.showMessage(message + std::string(consequence));
}

bool Program::showRunScreen() {
    const std::string staff(kStaffPicture);
    const std::string keys = keySignaturePicture(s_.Choshi_tbl);
    const std::array<std::string, 5> pictures{staff, staff, keys, keys, std::string(kCancelPicture)};
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < kRunElements.size(); ++i) {
        if (w_.setPicture(kRunElements[i], pictures[i]) != PictureLoad::Loaded) missing.push_back(pictures[i]);
        w_.show(kRunElements[i]);
    }
    if (missing.empty()) {
        w_.setCaption(el::Where_run_lbl, runContextCaption(s_.Settings));
        w_.show(el::Where_run_lbl);
        return true;
    }
    // Without staff, key signature or the cancel picture the exercise cannot be
    // read or stopped: back to the tempo page.
    for (const ElementId id : kRunElements) w_.hide(id);
    Show_P4();
    reportMissingPictures(missing, "練習を始められません。");
    return false;
}

bool Program::Step_note(int n) {
    noteBeatStart();
    showElements(el::Uns_img(el::fingersPerNote * n), el::Uns_img(el::fingersPerNote * n + el::fingersPerNote - 1));
    if (!pumpEvents()) return false;
    return sleepFor(Beat_ms);
}

void Program::hideRow(int firstNote) {
    hideElements(el::onp_img(firstNote), el::onp_img(firstNote + el::notesPerRow - 1));
    for (int n = firstNote; n < firstNote + el::notesPerRow; ++n)
        hideElements(el::Uns_img(el::fingersPerNote * n), el::Uns_img(el::fingersPerNote * n + el::fingersPerNote - 1));
}

bool Program::pumpEvents() {
    w_.processEvents();
    if (listener_) listener_->poll(w_.now());
    return !cancelRequested();
}

bool Program::cancelRequested() {
    // A cancel is requested from inside a pump or a sleep. Acting on it right
    // after either keeps the run from writing over the tempo page the cancel
    // has brought back.
    if (s_.Cancel_flg != 1) return false;
    s_.Cancel_flg = 0;
    return true;
}

bool Program::say(std::string_view caption, int ms) {
    w_.setCaption(el::Label1, std::string(caption));
    if (!pumpEvents()) return false;
    if (countingIn_ && listener_) return countInPause(ms);
    return sleepFor(ms);
}

bool Program::sleepFor(int ms) {
    nextDeadline(ms);
    w_.sleepUntil(deadline_);  // wakes early for a close or a cancel only
    return !cancelRequested();
}

void Program::nextDeadline(int ms) {
    const auto pause = std::chrono::milliseconds(ms);
    deadline_ += pause;
    // After a stall longer than the pause itself, go on from now rather than
    // rush the following beats to catch up.
    if (const Instant now = w_.now(); now - deadline_ > pause) deadline_ = now;
    // The metronome's next click goes where this sleep ends, on the grid: the
    // moment the next count or fingering appears, known a whole beat ahead.
    if (clicksGiven_ < clicksPlanned_) {
        const int beat = clicksGiven_++;  // 0 to 3 count in; bars of four from the first note
        audio_->scheduleClick(beat % 4 == 0 ? ClickKind::Accent : ClickKind::Beat, deadline_);
    }
}

void Program::startMetronome() {
    clicksGiven_ = 0;
    clicksPlanned_ = w_.isChecked(el::Check2) ? static_cast<int>(text::kCounts.size()) + s_.Onp_cnt : 0;
}

void Program::stopMetronome() {
    clicksPlanned_ = 0;
    clicksGiven_ = 0;
    audio_->stopAll();
}

void Program::Cancel_img_Click() {
    stopListening();
    stopMetronome();
    s_.Cancel_flg = 1;
    s_.Settings[6] = "1";
    hideElements(el::onp_img(0), el::onp_img(el::noteSlotCount - 1));
    hideElements(el::Uns_img(0), el::Uns_img(el::fingerSlotCount - 1));
    for (const ElementId id : kRunElements) w_.hide(id);
    w_.hide(el::Where_run_lbl);
    Show_P4();
}

}  // namespace tarvel
