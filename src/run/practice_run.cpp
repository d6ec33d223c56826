// The run's steps: the run screen, the count-in, the beats with their rolling
// rows of notes, the closing pause and the end; and what a cancel clears.
#include "run/practice_run.h"

#include "app/context_caption.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/fingering_keys.h"

namespace tarvel {
namespace {

constexpr int kCountInMs = 1500;
constexpr int kClosingPauseMs = 500;
constexpr int kEndCaptionMs = 1500;

constexpr std::array<ElementId, 5> kRunElements{el::Gosen_img1, el::Gosen_img2, el::Choshi(0), el::Choshi(1),
                                                el::Cancel_img};

void showRange(Window& w, ElementId first, ElementId last) {
    for (ElementId id = first; id <= last; ++id) w.show(id);
}

void hideRange(Window& w, ElementId first, ElementId last) {
    for (ElementId id = first; id <= last; ++id) w.hide(id);
}

void setLabel1Font(Window& w, double points) {
    w.setFontName(el::Label1, std::string(text::kUiFont));
    w.setFontSize(el::Label1, points);
}

}  // namespace

PracticeRun::PracticeRun(RunServices services, ProgramState& state, MappedNotes& slots, Listening listening)
    : w_(services.window),
      files_(services.files),
      input_(services.input),
      s_(state),
      slots_(slots),
      listening_(listening),
      pauses_(services.window),
      metronome_(services.sound) {}

// Whatever way the run ends, nothing heard outlives it but its judgement.
PracticeRun::~PracticeRun() { stopListening(); }

RunEnd PracticeRun::play() {
    try {
        return steps();
    } catch (const WindowClosed&) {
        stopListening();
        metronome_.stop();
        return RunEnd::Closed;
    }
}

RunEnd PracticeRun::steps() {
    Beat_ms = beatLength(s_.Settings[4]);
    if (!Load_exercise()) return failure_.empty() ? RunEnd::Cancelled : RunEnd::Failed;
    if (!showRunScreen()) return RunEnd::Failed;
    w_.setCaption(el::Label1, "");
    showRange(w_, el::onp_img(0), el::onp_img(2 * el::notesPerRow - 1));
    if (!countIn()) return RunEnd::Cancelled;

    const int rows = s_.Onp_cnt / el::notesPerRow;
    for (int n = 0; n < el::notesPerRow; ++n)
        if (!Step_note(n)) return RunEnd::Cancelled;
    for (int p = 0; p <= rows - 3; ++p) {
        const int first = el::notesPerRow * p;
        hideRow(first);
        showRange(w_, el::onp_img(first + 2 * el::notesPerRow), el::onp_img(first + 3 * el::notesPerRow - 1));
        for (int n = first + el::notesPerRow; n < first + 2 * el::notesPerRow; ++n)
            if (!Step_note(n)) return RunEnd::Cancelled;
    }
    hideRow(s_.Onp_cnt - 2 * el::notesPerRow);
    for (int n = s_.Onp_cnt - el::notesPerRow; n < s_.Onp_cnt; ++n)
        if (!Step_note(n)) return RunEnd::Cancelled;
    if (!pump() || !pause(kClosingPauseMs)) return RunEnd::Cancelled;
    judge();  // the closing pause has heard the last note out
    hideRow(s_.Onp_cnt - el::notesPerRow);
    hideNow();  // the large diagram goes with the last row

    hideRunScreen();
    if (!pump() || !say(text::kRunEnd, kEndCaptionMs)) return RunEnd::Cancelled;
    w_.setCaption(el::Label1, "");
    return RunEnd::Finished;
}

bool PracticeRun::showRunScreen() {
    const std::string staff(kStaffPicture);
    const std::string keys = keySignaturePicture(s_.Choshi_tbl);
    const std::array<std::string, 5> pictures{staff, staff, keys, keys, std::string(kCancelPicture)};
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < kRunElements.size(); ++i) {
        if (w_.setPicture(kRunElements[i], pictures[i]) != PictureLoad::Loaded) missing.push_back(pictures[i]);
        w_.show(kRunElements[i]);
    }
    if (missing.empty()) {
        pauses_.setCancelShown(true);
        w_.setCaption(el::Where_run_lbl,
                      runContextCaption(s_.Settings) + (s_.drillExercise.empty() ? "" : "・苦手ドリル"));
        w_.show(el::Where_run_lbl);
        return true;
    }
    // Without staff, key signature or the cancel picture the exercise cannot be
    // read or stopped: back to the tempo page.
    for (const ElementId id : kRunElements) w_.hide(id);
    failure_ = missingPicturesMessage(missing, "練習を始められません。");
    return false;
}

// From here every pause ends on the grid, and the player is heard from the
// moment "いくよ" shows.
bool PracticeRun::countIn() {
    pauses_.startGrid();
    metronome_.plan(w_.isChecked(el::Check2) ? static_cast<int>(text::kCounts.size()) + s_.Onp_cnt : 0);
    setLabel1Font(w_, text::kCountSize);
    startListening();
    if (!say(text::kCountInStart, kCountInMs)) return false;
    setLabel1Font(w_, text::kCountSize);
    for (const std::string_view count : text::kCounts)
        if (!say(count, Beat_ms)) return false;
    w_.setFontSize(el::Label1, text::kPromptSize);
    endCountIn();
    return true;
}

bool PracticeRun::Step_note(int n) {
    if (listener_) beatStartMs_.push_back(listener_->msSinceStart(pauses_.deadline()));
    showRange(w_, el::Uns_img(el::fingersPerNote * n), el::Uns_img(el::fingersPerNote * n + el::fingersPerNote - 1));
    showNow(n);
    return pump() && pause(Beat_ms);
}

// In the same instant as the row's diagram, before the window is painted:
// the mark on the note, its diagram large and the keys it presses named.
// Every picture was read at loading.
void PracticeRun::showNow(int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= slots_.Onp_pic.size()) return;
    const int place = n % el::nowMarkCount;
    if (markShown_ >= 0 && markShown_ != place) w_.hide(el::Now_mark(markShown_));
    w_.setPicture(el::Now_mark(place), nowMarkPicture(slots_.Onp_pic[n]));
    w_.show(el::Now_mark(place));
    markShown_ = place;
    const std::string& line = s_.Unshi_tbl[slots_.Unshi_no[n]];
    for (int k = 0; k < el::fingersPerNote; ++k) {
        const FingerPosition& finger = kFingerPositions[k];
        w_.setPicture(el::Big_finger(k), bigFingerPicture(s_.Settings[1], finger.prefix, fingerCode(line, finger)));
    }
    w_.setCaption(el::Big_keys, pressedKeysCaption(s_.Settings[1], line));
    if (bigShown_) return;
    showRange(w_, el::Big_finger(0), el::Big_finger(el::fingersPerNote - 1));
    w_.show(el::Big_keys);
    bigShown_ = true;
}

void PracticeRun::hideNow() {
    if (markShown_ >= 0) w_.hide(el::Now_mark(markShown_));
    markShown_ = -1;
    if (!bigShown_) return;
    hideRange(w_, el::Big_finger(0), el::Big_finger(el::fingersPerNote - 1));
    w_.hide(el::Big_keys);
    bigShown_ = false;
}

void PracticeRun::hideRow(int firstNote) {
    hideRange(w_, el::onp_img(firstNote), el::onp_img(firstNote + el::notesPerRow - 1));
    const int firstPlace = firstNote % el::nowMarkCount;
    if (markShown_ >= firstPlace && markShown_ < firstPlace + el::notesPerRow) {
        w_.hide(el::Now_mark(markShown_));
        markShown_ = -1;
    }
    for (int n = firstNote; n < firstNote + el::notesPerRow; ++n)
        hideRange(w_, el::Uns_img(el::fingersPerNote * n),
                  el::Uns_img(el::fingersPerNote * n + el::fingersPerNote - 1));
}

void PracticeRun::hideRunScreen() {
    for (const ElementId id : kRunElements) w_.hide(id);
    w_.hide(el::Where_run_lbl);
    pauses_.setCancelShown(false);
}

bool PracticeRun::pump() {
    w_.processEvents();
    if (listener_) listener_->poll(w_.now());
    return !cancelRequested();
}

// A cancel is requested from inside a pump or a pause. Acting on it right
// after either keeps the run from writing over the tempo page the cancel has
// brought back.
bool PracticeRun::cancelRequested() {
    if (s_.Cancel_flg != 1) return false;
    s_.Cancel_flg = 0;
    return true;
}

bool PracticeRun::say(std::string_view caption, int ms) {
    w_.setCaption(el::Label1, std::string(caption));
    return pump() && pause(ms);
}

bool PracticeRun::pause(int ms) {
    const Instant end = pauses_.next(ms);
    metronome_.clickOn(end);  // the moment the next count or fingering appears
    if (countingIn_) return countInPause(end);
    pauses_.sleepUntil(end);
    return !cancelRequested();
}

void PracticeRun::cancel() {
    stopListening();
    metronome_.stop();
    hideRange(w_, el::onp_img(0), el::onp_img(el::noteSlotCount - 1));
    hideRange(w_, el::Uns_img(0), el::Uns_img(el::fingerSlotCount - 1));
    hideNow();
    hideRunScreen();
}

}  // namespace tarvel
