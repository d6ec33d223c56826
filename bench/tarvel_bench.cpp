// tarvel-bench [DATA_DIR]: figures for the largest exercise Tarvel can hold
// (320 notes, 2880 finger pictures), on the real window:
//  - the time from the tempo click to the first count-in caption, with decoded
//    pictures shared between elements and with one decode per element;
//  - the time one beat (Step_note) takes apart from its sleep;
//  - the error of the beat onsets against the ideal grid over 320 beats at
//    480 beats a minute, with deadline pacing and with fixed sleeps;
//  - how long a close request and a click on the cancel picture take to act
//    when they come in the middle of a pause (count-in, count, beat, closing
//    pause, "終了", "結果"), at every tempo, beside the same with plain sleeps
//    that hear nothing until the pause is over.
// With "--requests-only" after DATA_DIR it measures the last alone.
//  - the time the history adds after a grading (one run written) beside the
//    record's rename, and while another program holds its write lock; at
//    100,000 runs the time the key page and the progress page spend on the
//    history beside the way they read it before, and the pages drawn in the
//    window ("--history-only" after DATA_DIR: this alone); at 10,000 heard
//    runs of 48 notes the weak-notes page's figures and the drill's choice
//    beside the same worked out from every note, and a heard run added.
//  - the metronome over those beats ("--sound-only" after DATA_DIR: the sound
//    device alone): the click onsets in the recorded stream
//    against the beats, and, where PulseAudio can be started, the spacing of
//    the clicks that really leave Qt's sound output (a null sink, recorded),
//    five times, the last beside two busy processes, with the stream as it was
//    written beside it and the worst of the five; QSoundEffect played on the
//    same grid; and the output latency.
//  - listening, per tempo, on the performances rendered from the exercise
//    files (tests/listen/performances.plan): right notes judged right, planted
//    slips caught, false slips per run, the time to judge a run and the pitch
//    tracker's CPU as a share of real time; beside the same judge without its
//    lag search (every beat judged where it falls, as a live judge would).
// DATA_DIR holds a built data set; its exercise for Boehm, B-flat part, G major
// is stretched to 320 notes in a temporary copy.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <QApplication>
#include <QCloseEvent>
#include <QSoundEffect>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/choices.h"
#include "app/texts.h"
#include "data/data_paths.h"
#include "data/result_record.h"
#include "data/text_lines.h"
#include "drill/drill_exercise.h"
#include "drill/spacing.h"
#include "drill/weak_notes.h"
#include "drive/recorded_audio.h"
#include "drive/tracing.h"
#include "grade/grading.h"
#include "history/progress.h"
#include "history/sqlite_history.h"
#include "keys/key_table.h"
#include "listen_before.h"
#include "qt/fonts.h"
#include "qt/qt_audio_output.h"
#include "qt/wiring.h"
#include "support/click_track.h"
#include "support/null_sink.h"
#include "support/performances.h"

namespace fs = std::filesystem;

namespace tarvel {
namespace {

double ms(Instant t) { return std::chrono::duration<double, std::milli>(t).count(); }

// Passes everything on, and notes the times of the moments the bench needs.
class TimingWindow : public Window {
public:
    TimingWindow(Window& inner, bool fixedSleeps) : inner_(inner), fixedSleeps_(fixedSleeps) {}

    bool stopAtCountIn = false;
    Instant countIn{};
    std::vector<Instant> beatStart, beatSleep;
    std::function<void(ElementId)> onShow;
    std::function<void(const std::string&)> onCaption;
    Instant ended{};
    std::vector<Instant> deadlines;  // of every sleep: the run's grid
    std::size_t countInSleep = 0;    // the first sleep of the count-in

    void show(ElementId id) override {
        if (onShow) onShow(id);
        if (id >= el::Uns_img(0) && id < el::Uns_img(el::fingerSlotCount) &&
            (id - el::Uns_img(0)) % el::fingersPerNote == 0) {
            beatStart.push_back(inner_.now());
            inBeat_ = true;
        }
        inner_.show(id);
    }
    void hide(ElementId id) override { inner_.hide(id); }
    PictureLoad setPicture(ElementId id, const std::string& path) override { return inner_.setPicture(id, path); }
    void setCaption(ElementId id, const std::string& text) override {
        inner_.setCaption(id, text);
        if (onCaption) onCaption(text);
        if (text == text::kCountInStart) {
            countIn = inner_.now();
            countInSleep = deadlines.size();
            if (stopAtCountIn) inner_.endProgram(0);
        }
    }
    void setFontName(ElementId id, const std::string& name) override { inner_.setFontName(id, name); }
    void setFontSize(ElementId id, double points) override { inner_.setFontSize(id, points); }
    bool isChecked(ElementId id) override { return inner_.isChecked(id); }
    void processEvents() override { inner_.processEvents(); }
    void sleepUntil(Instant deadline, std::optional<ElementId> heard) override {
        deadlines.push_back(deadline);
        if (inBeat_) beatSleep.push_back(inner_.now());
        inBeat_ = false;
        if (!fixedSleeps_) return inner_.sleepUntil(deadline, heard);
        // As if every pause were a plain sleep of its nominal length after the
        // drawing: the program is shown its own plan as the time, so its pauses
        // keep their nominal lengths, and the real clock falls behind.
        const Instant pause = deadline - lastDeadline_;
        lastDeadline_ = deadline;
        inner_.sleepUntil(inner_.now() + pause, heard);
    }
    Instant now() override { return fixedSleeps_ ? lastDeadline_ : inner_.now(); }
    CalendarDate today() override { return inner_.today(); }
    void showMessage(const std::string& text) override { inner_.showMessage(text); }
    void endProgram(int status) override {
        ended = inner_.now();
        inner_.endProgram(status);
    }

private:
    Window& inner_;
    bool fixedSleeps_;
    bool inBeat_ = false;
    Instant lastDeadline_{};  // with fixed sleeps: the program's plan, from 0
};

struct Session {
    QtWindow window;
    TimingWindow timing;
    LocalFileSystem files;
    Program program;
    RecordedAudio audio;
    Session(const fs::path& root, bool fixedSleeps)
        : window(root), timing(window, fixedSleeps), files(root), program(timing, files), audio(window, window.now()) {
        window.onMessage = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };
        connectWindow(window, program);
        program.setAudioOutput(audio);
    }
    bool toTempoPage(int key = 1) {
        if (!startProgram(window, program)) return false;
        for (const ElementId id : {el::P1_Btn1, el::P2_Btn1, el::P3_Btn(key)}) program.click(id);
        return window.isShown(el::P4_Btn(9));
    }
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const std::size_t at =
        std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
    return values[at];
}

bool makeLargestExercise(const fs::path& dataSet, const fs::path& copy) {
    std::error_code ec;
    fs::create_directories(copy, ec);
    fs::copy(dataSet / "system", copy / "system", fs::copy_options::recursive, ec);
    if (ec) return false;
    const fs::path exercise = copy / nativePath(exercisePath("Boe", "BB", "S01"));
    std::ifstream in(exercise, std::ios::binary);
    const std::vector<std::string> lines = splitLines(std::string(std::istreambuf_iterator<char>(in), {}));
    std::vector<std::string> notes;
    for (std::size_t i = 1; i < lines.size() && lines[i].size() == 4; ++i) notes.push_back(lines[i]);
    if (lines.empty() || notes.empty()) return false;
    std::ofstream out(exercise, std::ios::binary | std::ios::trunc);
    out << lines[0] << "\r\n";
    for (int n = 0; n < 320; ++n) out << notes[static_cast<std::size_t>(n) % notes.size()] << "\r\n";
    out << "\r\n";
    return true;
}

void benchLoad(const fs::path& root, bool sharing, const char* label) {
    std::vector<double> times;
    for (int i = 0; i < 8; ++i) {
        Session s(root, false);
        s.window.setPictureSharing(sharing);
        if (!s.toTempoPage()) return;
        s.timing.stopAtCountIn = true;
        const Instant click = s.window.now();
        s.program.click(el::P4_Btn(9));
        if (i > 0) times.push_back(ms(s.timing.countIn - click));  // the first run warms the file cache
    }
    std::printf("  %-34s median %7.2f ms   min %7.2f ms\n", label, percentile(times, 0.5), percentile(times, 0.0));
}

// The run's recorded stream: where each click starts against its beat, and how
// long after its click each fingering was on the screen.
void benchRecordedClicks(Session& s, const fs::path& root) {
    const fs::path wav = root / "run.wav";
    std::string error;
    if (!s.audio.writeWav(wav.string(), s.window.now(), error)) {
        std::printf("  recorded stream: %s\n", error.c_str());
        return;
    }
    const test::Track track = test::readWav(wav);
    const auto onsets = test::findOnsets(track.samples, kAudioRate);
    const auto& starts = s.timing.beatStart;
    if (onsets.size() != 324) {
        std::printf("  recorded stream: %zu clicks found, not 4 + 320\n", onsets.size());
        return;
    }
    std::vector<double> off, shownAfter;
    // The sleeps from "いくよ" on end on the beats: the count-in's, then the notes'.
    const std::vector<Instant> grid(s.timing.deadlines.begin() + static_cast<std::ptrdiff_t>(s.timing.countInSleep),
                                    s.timing.deadlines.end());
    if (grid.size() < onsets.size()) {
        std::printf("  recorded stream: the run's grid was not found\n");
        return;
    }
    for (std::size_t k = 0; k < onsets.size(); ++k) {
        const Instant beat = grid[k];
        off.push_back(std::abs(static_cast<double>(onsets[k].sample - sampleAt(beat - s.audio.start()))));
        if (k >= 4) shownAfter.push_back(ms(starts[k - 4] - beat));
    }
    std::printf("  %-16s click onset against its beat: median %.0f samples  p99 %.0f samples  (target 0)\n",
                "recorded stream", percentile(off, 0.5), percentile(off, 0.99));
    std::printf("  %-16s fingering drawn after its click: median %6.3f ms  p99 %6.3f ms\n", "",
                percentile(shownAfter, 0.5), percentile(shownAfter, 0.99));
}

void benchRun(const fs::path& root, bool fixedSleeps, const char* label) {
    Session s(root, fixedSleeps);
    if (!s.toTempoPage()) return;
    s.program.click(el::P4_Btn(9));  // 480: 125 ms a beat
    const auto& starts = s.timing.beatStart;
    if (starts.size() != 320 || s.timing.beatSleep.size() != 320) {
        std::printf("  %s: the run did not play 320 beats\n", label);
        return;
    }
    std::vector<double> errors, work;
    for (std::size_t n = 0; n < starts.size(); ++n) {
        const double ideal = ms(s.timing.countIn) + 1500 + (4.0 + static_cast<double>(n)) * 125;
        errors.push_back(std::abs(ms(starts[n]) - ideal));
        work.push_back(ms(s.timing.beatSleep[n] - starts[n]));
    }
    const double drift = ms(starts.back()) - (ms(s.timing.countIn) + 1500 + 323 * 125.0);
    std::printf("  %-16s onset error median %7.3f ms  p99 %7.3f ms  drift at the last beat %+8.3f ms\n", label,
                percentile(errors, 0.5), percentile(errors, 0.99), drift);
    std::printf("  %-16s one beat apart from its sleep: median %6.3f ms  p99 %6.3f ms\n", "", percentile(work, 0.5),
                percentile(work, 0.99));
    if (!fixedSleeps) benchRecordedClicks(s, root);
}

Instant steadyNow() { return std::chrono::duration_cast<Instant>(std::chrono::steady_clock::now().time_since_epoch()); }

void sleepUntil(Instant t) { std::this_thread::sleep_until(std::chrono::steady_clock::time_point(t)); }

struct Spacing {
    std::size_t found = 0;
    double medianMs = 0, p99Ms = 0;
};

// How far apart the recorded clicks lie against 125 ms.
Spacing spacingOf(const std::vector<float>& recording) {
    const auto onsets = test::findOnsets(recording, kAudioRate);
    Spacing result;
    result.found = onsets.size();
    std::vector<double> errors;
    for (std::size_t k = 1; k < onsets.size(); ++k)
        errors.push_back(
            std::abs(static_cast<double>(onsets[k].sample - onsets[k - 1].sample) * 1000.0 / kAudioRate - 125.0));
    if (errors.empty()) return result;  // fewer than two clicks: no spacing to speak of
    result.medianMs = percentile(errors, 0.5);
    result.p99Ms = percentile(errors, 0.99);
    return result;
}

void printSpacing(const char* label, const Spacing& s) {
    std::printf("  %-26s %3zu of 320 clicks heard; spacing error median %6.3f ms  p99 %7.3f ms\n", label, s.found,
                s.medianMs, s.p99Ms);
}

bool writeClickWav(const fs::path& file) {
    const std::vector<float>& click = clickSamples(ClickKind::Beat);
    std::ofstream out(file, std::ios::binary);
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    const auto data = static_cast<std::uint32_t>(click.size() * 2);
    out.write("RIFF", 4);
    put(36 + data, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4), put(1, 2), put(1, 2), put(kAudioRate, 4), put(kAudioRate * 2, 4), put(2, 2), put(16, 2);
    out.write("data", 4);
    put(data, 4);
    for (const float v : click) put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))), 2);
    return static_cast<bool>(out);
}

// Processes that keep a core busy until they are killed.
class BusyProcesses {
public:
    explicit BusyProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                volatile unsigned long n = 0;
                for (;;) n = n + 1;
            }
            if (child > 0) children_.push_back(child);
        }
    }
    ~BusyProcesses() {
        for (const pid_t child : children_) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> children_;
};

std::vector<float> toFloat(const std::vector<std::int16_t>& samples) {
    std::vector<float> result(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) result[i] = static_cast<float>(samples[i]) / 32768.0f;
    return result;
}

void benchSoundDevice(const fs::path& root) {
    if (const std::string missing = test::NullSink::missingTools(); !missing.empty()) {
        std::printf("  skipped: PulseAudio is not installed (missing: %s)\n", missing.c_str());
        return;
    }
    test::NullSink sink;
    if (!sink.ok()) {
        std::printf("  skipped: %s\n", sink.error().c_str());
        return;
    }
    constexpr auto beat = std::chrono::milliseconds(125);
    // Five program starts on the same sink, the last beside two processes that
    // keep both cores busy. Each line gives what left the sink and, beside it,
    // the stream as it was written: a click misplaced in both was placed so;
    // one misplaced only in the sink was moved by the server.
    Spacing worst;
    worst.found = 320;
    std::vector<double> latencies;
    for (int run = 1; run <= 5; ++run) {
        const bool busy = run == 5;
        const std::unique_ptr<BusyProcesses> load = busy ? std::make_unique<BusyProcesses>(2) : nullptr;
        QtAudioOutput out;  // opened with the program, pages before a run
        if (!out.deviceAvailable() || !sink.startRecording()) {
            std::printf("  skipped: Qt found no output on the null sink\n");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        out.keepWritten();
        // As the run asks: each click one beat ahead, the first after "いくよ".
        const Instant first = steadyNow() + std::chrono::milliseconds(1500);
        for (int k = 0; k < 320; ++k) {
            sleepUntil(first + (k - 1) * beat);
            out.scheduleClick(k % 4 == 0 ? ClickKind::Accent : ClickKind::Beat, first + k * beat);
        }
        sleepUntil(first + 320 * beat);
        const Spacing heard = spacingOf(sink.stopRecording());
        const Spacing written = spacingOf(toFloat(out.written()));
        const QtAudioOutput::Health health = out.health();
        const std::string label = "QAudioSink, run " + std::to_string(run) + (busy ? " (2 busy)" : "");
        printSpacing(label.c_str(), heard);
        std::printf("  %-26s written: %3zu clicks, spacing p99 %7.3f ms; ran dry %d, clicks late %d\n", "",
                    written.found, written.p99Ms, health.dryRuns, health.lateClicks);
        if (heard.found != 320 && (worst.found == 320 || std::abs(static_cast<long>(heard.found) - 320) >
                                                             std::abs(static_cast<long>(worst.found) - 320)))
            worst.found = heard.found;
        worst.medianMs = std::max(worst.medianMs, heard.medianMs);
        worst.p99Ms = std::max(worst.p99Ms, heard.p99Ms);
        latencies.push_back(out.outputLatencyMs());
    }
    printSpacing("QAudioSink, worst of 5", worst);
    std::printf("  %-26s (target: 320 of 320 and a p99 under 1 ms in every run)\n", "");
    std::printf("  %-26s output latency (written ahead of the sound) median %.1f ms  (target under 60)\n", "",
                percentile(latencies, 0.5));
    const fs::path clickFile = root / "click.wav";
    if (!writeClickWav(clickFile)) return;
    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(QString::fromStdString(clickFile.string())));
    const Instant loading = steadyNow();
    while (effect.status() != QSoundEffect::Ready && steadyNow() - loading < std::chrono::seconds(3))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (effect.status() != QSoundEffect::Ready || !sink.startRecording()) {
        std::printf("  QSoundEffect: could not load the click\n");
        return;
    }
    // Its best chance: the event loop runs all the time, and play() is called
    // on the grid.
    auto pumpUntil = [](Instant t) {
        while (steadyNow() < t) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    };
    const Instant first = steadyNow() + std::chrono::milliseconds(1500);
    for (int k = 0; k < 320; ++k) {
        pumpUntil(first + k * beat - std::chrono::milliseconds(2));
        sleepUntil(first + k * beat);
        effect.play();
    }
    pumpUntil(first + 320 * beat + std::chrono::milliseconds(300));
    printSpacing("QSoundEffect (baseline)", spacingOf(sink.stopRecording()));
}

struct ListenFigures {
    int rightNotes = 0, falseSlips = 0;
    int planted = 0, caught = 0;
    int runs = 0, proposalsRight = 0;
    double judgeMsMax = 0, trackMs = 0, audioMs = 0;
    void add(const test::Performance& p, const test::Heard& heard, const Judgement& j) {
        const std::string expected = p.expectedMarks(heard.notes);
        const std::string got = j.markText();
        const std::vector<int> extras = p.expectedExtras();
        ++runs;
        judgeMsMax = std::max(judgeMsMax, heard.judgeMs);
        trackMs += heard.trackMs;
        audioMs += heard.audioMs;
        const auto proposal = proposedAnswer(j);
        proposalsRight += p.noisy ? !proposal : proposal && *proposal == answerForSlips(p.expectedSlips());
        if (j.noisy) return;  // nothing judged is shown: the player is told the room was too loud
        for (std::size_t n = 0; n < expected.size() && n < got.size(); ++n) {
            if (expected[n] == 'o') {
                ++rightNotes;
                falseSlips += got[n] != 'o';
            } else {
                ++planted;
                caught += got[n] != 'o';
            }
        }
        planted += static_cast<int>(extras.size());
        for (const int k : j.extraBefore) {
            if (std::find(extras.begin(), extras.end(), k) != extras.end())
                ++caught;
            else
                ++falseSlips;
        }
    }
};

// The same performances judged by the judge before it followed the player
// (one lag for the run, a fixed level gate, no hum filter) and by today's.
struct BeforeAfter {
    ListenFigures before, after;
};

BeforeAfter listenFigures(const std::vector<test::Performance>& plan,
                          const std::function<bool(const test::Performance&)>& which, const fs::path& dataSet,
                          const fs::path& renders) {
    BeforeAfter f;
    for (const test::Performance& p : plan) {
        if (!which(p)) continue;
        const test::Heard heard = test::hearPerformance(p, dataSet, renders);
        const test::Heard unfiltered = test::hearPerformance(p, dataSet, renders, JudgeRule{}, false);
        if (!heard.ok || !unfiltered.ok) continue;
        const Judgement before = bench::judgeRunBefore(unfiltered.frames, unfiltered.rate, unfiltered.beats,
                                                       unfiltered.beatMs, unfiltered.expected);
        f.before.add(p, unfiltered, before);
        f.after.add(p, heard, heard.judgement);
    }
    return f;
}

void printListenRow(const char* what, const char* judge, const ListenFigures& f) {
    std::printf("  %-10s %-7s %5d %8.2f %8d/%-4d %7.1f%% %6d/%-3d %8.1f ms %7.2f%%\n", what, judge, f.runs,
                static_cast<double>(f.falseSlips) / std::max(1, f.runs), f.caught, f.planted,
                100.0 * f.caught / std::max(1, f.planted), f.proposalsRight, f.runs, f.judgeMsMax,
                100.0 * f.trackMs / std::max(1.0, f.audioMs));
}

void benchListening(const fs::path& dataSet, const fs::path& renders, const fs::path& planFile) {
    const auto plan = test::readPlan(planFile);
    if (plan.empty() || !fs::exists(renders / (plan.front().name + ".wav"))) {
        std::printf("  no rendered performances in %s: build the target tarvel_performances\n", renders.c_str());
        return;
    }
    std::printf("  %-10s %-7s %5s %8s %13s %8s %10s %11s %8s\n", "", "judge", "runs", "false/run", "slips caught", "",
                "proposal", "judging", "tracking");
    for (const int tempo : {60, 120, 240, 480}) {
        const BeforeAfter f = listenFigures(
            plan, [tempo](const test::Performance& p) { return p.tempo == tempo; }, dataSet, renders);
        const std::string what = "♩" + std::to_string(tempo);
        printListenRow(what.c_str(), "before", f.before);
        printListenRow(what.c_str(), "after", f.after);
    }
    // By condition: the name before its tempo.
    std::vector<std::string> kinds;
    for (const test::Performance& p : plan) {
        const std::string kind = p.name.substr(0, p.name.rfind('-'));
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
    }
    for (const std::string& kind : kinds) {
        const BeforeAfter f = listenFigures(
            plan, [&](const test::Performance& p) { return p.name.substr(0, p.name.rfind('-')) == kind; }, dataSet,
            renders);
        printListenRow(kind.c_str(), "before", f.before);
        printListenRow(kind.c_str(), "after", f.after);
    }
    std::printf(
        "  targets: false slips a run at most 0.3 (60 to 240) and 1 (480); 98 %% of slips caught;\n"
        "           the proposal right in 97 %% of runs; judging under 100 ms; tracking under 2 %% of one core\n");
}

// Where in a run or grading a request comes: after the first show of
// `element` or the caption `caption`, `delayMs` later.
struct Pause {
    const char* name;
    std::string caption;
    ElementId element = -1;
    double delayMs = 0;
    bool cancellable = true;  // the cancel picture is visible there
};

// The time from a request made in the middle of a pause to its effect: the
// program's end for a close, the tempo page for a cancel. Negative when the
// request never came.
double requestLatency(const fs::path& root, int tempoButton, const Pause& pause, bool close, bool wake) {
    Session s(root, false);
    s.window.setWakeDuringSleep(wake);
    if (!s.toTempoPage(2)) return -1;
    Instant due{}, effect{};
    bool armed = false;
    auto arm = [&] {
        if (armed) return;
        armed = true;
        due = s.window.now() + std::chrono::microseconds(static_cast<long long>(pause.delayMs * 1000));
        // The form is the timer's context: a request still due when the session
        // ends (the "結果" row never reaches it) dies with the session.
        QTimer::singleShot(static_cast<int>(pause.delayMs), Qt::PreciseTimer, s.window.form(), [&] {
            QWidget* form = s.window.form();
            if (close) {
                QCloseEvent event;
                QCoreApplication::sendEvent(form->windowHandle(), &event);
            } else {
                const QPoint spot = s.window.elementWidget(el::Cancel_img)->geometry().center();
                QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, spot);
            }
        });
    };
    s.timing.onCaption = [&](const std::string& text) {
        if (!pause.caption.empty() && text == pause.caption) arm();
    };
    s.timing.onShow = [&](ElementId id) {
        if (id == pause.element) arm();
        if (id == el::P4_Btn(1) && armed && effect == Instant{}) effect = s.window.now();
    };
    s.program.click(el::P4_Btn(tempoButton));
    if (!s.window.ended() && s.window.isShown(el::P5_Btn(1))) s.program.click(el::P5_Btn(1));
    if (close) effect = s.timing.ended;
    if (!armed || effect == Instant{}) return -1;
    return std::max(0.0, ms(effect - due));
}

void benchRequests(const fs::path& root) {
    constexpr std::array<int, 9> kTempi{30, 42, 60, 85, 120, 170, 240, 340, 480};
    auto row = [&](const char* what, int button, const Pause& pause) {
        std::printf("  %-4d %-15s", kTempi[static_cast<std::size_t>(button - 1)], what);
        for (const bool close : {true, false}) {
            if (!close && !pause.cancellable) {
                std::printf("   %-8s %-18s", close ? "close" : "cancel", "-");
                continue;
            }
            const double now = requestLatency(root, button, pause, close, true);
            const double plain = requestLatency(root, button, pause, close, false);
            const std::string before = plain < 0 ? "  never" : std::to_string(static_cast<int>(plain + 0.5));
            std::printf("   %-6s %7.2f ms (%7s)", close ? "close" : "cancel", now, before.c_str());
        }
        std::printf("\n");
    };
    for (int button = 1; button <= 9; ++button) {
        const double beat = 60000.0 / kTempi[static_cast<std::size_t>(button - 1)];
        row("count-in", button, Pause{"count-in", std::string(text::kCountInStart), -1, 700});
        row("count ４", button, Pause{"count", std::string(text::kCounts[0]), -1, beat / 2});
    }
    // The closing pause follows the last note's beat.
    std::ifstream in(root / nativePath(exercisePath("Boe", "BB", "S02")), std::ios::binary);
    const std::vector<std::string> lines = splitLines(std::string(std::istreambuf_iterator<char>(in), {}));
    const auto notes = static_cast<int>(
        std::count_if(lines.begin() + 1, lines.end(), [](const std::string& line) { return line.size() == 4; }));
    const double beat = 125;
    row("beat of note 9", 9, Pause{"beat", "", el::Uns_img(9 * 9), beat / 2});
    row("closing pause", 9, Pause{"closing", "", el::Uns_img(9 * (notes - 1)), beat + 250});
    row("終了", 9, Pause{"end", std::string(text::kRunEnd), -1, 700, false});
    row("結果", 9, Pause{"result", std::string(text::kResult), -1, 700, false});
}

double elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// The median of `times` calls of `work`, in ms.
double medianMs(int times, const std::function<void()>& work) {
    std::vector<double> all;
    for (int i = 0; i < times; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        all.push_back(elapsedMs(start));
    }
    return percentile(all, 0.5);
}

// 100,000 runs over three years (about 90 a day), written as the program
// writes them: spread over every system, pairing, key and tempo, or all on
// Boehm, B flat part, G major.
void fillHistory(const fs::path& file, bool oneKey) {
    SqliteHistory(file).runs();  // made with its schema
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO runs (played_at, system, pairing, key, tempo, answer, grade, grade_no) "
                       "VALUES (datetime('2024-01-01', '+' || ? || ' seconds'), ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    const char* systems[] = {"Boe", "Oeh"};
    const char* pairings[] = {"BB", "BC", "BA"};
    for (int i = 0; i < 100'000; ++i) {
        const int gradeNo = 1 + (i * 7) % 14;
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i) * 946);
        sqlite3_bind_text(insert, 2, oneKey ? "Boe" : systems[i % 2], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, oneKey ? "BB" : pairings[(i / 2) % 3], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, oneKey ? "S01" : Key_tbl[static_cast<std::size_t>((i / 6) % 29)].code.data(), -1,
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 5, kTempoChoices[static_cast<std::size_t>(i % 9)].tempo.data(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 6, "0", -1, SQLITE_STATIC);
        const std::string grade(gradeText(gradeNo));
        sqlite3_bind_text(insert, 7, grade.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 8, gradeNo);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void benchLongHistory(const fs::path& root, bool oneKey) {
    const fs::path file = root / SqliteHistory::kFileName;
    fs::remove(file);
    fillHistory(file, oneKey);
    const CalendarDate today{2026, 12, 7};
    std::printf("  100,000 runs%s:\n", oneKey ? ", all on one key" : " over every key");
    double opening = 0, prepared = 0;
    {
        SqliteHistory history(file);
        opening = medianMs(1, [&] { history.best("Boe", "BB"); });
    }
    {
        SqliteHistory history(file);
        history.prepare();                                            // as the program does at its start
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // pages 1 and 2
        prepared = medianMs(1, [&] { history.best("Boe", "BB"); });
    }
    SqliteHistory history(file);
    // As the pages read before: every run of the system and pairing (and
    // every run for the days), and the figures worked out from them.
    const double badgesBefore = medianMs(5, [&] { bestPerKey(*history.runs("Boe", "BB"), "Boe", "BB"); });
    const double badges = medianMs(10, [&] { history.best("Boe", "BB"); });
    const double progressBefore = medianMs(5, [&] {
        const auto some = *history.runs("Boe", "BB");
        const auto every = *history.runs();
        const auto summary = progressSummary(some, "Boe", "BB", today, 12);
        gradeChart(some, Key_tbl[static_cast<std::size_t>(preselectedKey(summary.lastRuns, ""))].code);
    });
    const double progress = medianMs(10, [&] {
        const auto summary = history.progress("Boe", "BB", today, 12);
        history.chart("Boe", "BB", Key_tbl[static_cast<std::size_t>(preselectedKey(summary->lastRuns, ""))].code);
    });
    std::printf("    %-48s %8.2f ms   (before: %8.2f ms)\n", "key page, the best results", badges, badgesBefore);
    std::printf("    %-48s %8.2f ms   (before: %8.2f ms)\n", "progress page, its figures and chart", progress,
                progressBefore);
    std::printf("    %-48s %8.2f ms   (checked on the way: %8.2f ms)\n",
                "first key page, file checked in the background", prepared, opening);

    // The pages in the real window: the progress page with its chart drawn,
    // beside the chart of the old page (one point a run) drawn alone.
    Session s(root, false);
    s.program.setHistory(history);
    if (!s.toTempoPage()) return;
    s.program.click(el::P4_BtnA);  // back to the key page
    const double keyPage = medianMs(5, [&] {
        s.program.click(el::P3_BtnC);
        s.window.form()->grab();
        s.program.click(el::P7_BtnA);
        s.window.form()->grab();
    });
    const double pageAlone = medianMs(5, [&] {
        s.program.click(el::P3_BtnC);
        s.window.form()->grab();
        s.program.click(el::P7_BtnA);
    });
    ChartData perRun;
    perRun.key = "S01";
    const std::vector<HistoryRun> boehmB = history.runs("Boe", "BB").value_or(std::vector<HistoryRun>{});
    for (const HistoryRun& run : boehmB) {
        if (run.key != "S01") continue;
        auto line = std::find_if(perRun.lines.begin(), perRun.lines.end(),
                                 [&](const ChartLine& l) { return l.tempo == run.tempo; });
        if (line == perRun.lines.end()) line = perRun.lines.insert(perRun.lines.end(), ChartLine{run.tempo, {}});
        line->points.push_back(ChartPoint{run.playedAt, run.gradeNo});
    }
    s.program.click(el::P3_BtnC);
    const double oldChart = medianMs(3, [&] {
        s.window.setChart(el::P7_Chart, perRun);
        s.window.form()->grab();
    });
    std::printf("    %-48s %8.2f ms   (a chart of one point a run alone: %8.2f ms)\n",
                "progress page shown and drawn, window", pageAlone, oldChart);
    std::printf("    %-48s %8.2f ms\n", "to the progress page and back, both drawn", keyPage);
}

// A run of Boehm, B flat part, G major at 120, graded Ｂ.
HistoryRun gradedRun(std::string playedAt) {
    HistoryRun run;
    run.playedAt = std::move(playedAt);
    run.system = "Boe";
    run.pairing = "BB";
    run.key = "S01";
    run.tempo = "120";
    run.answer = "0";
    run.grade = "Ｂ";
    run.gradeNo = 8;
    return run;
}

// 10,000 heard runs of 48 notes (480,000 notes) over 90 days up to
// 2026-12-07, both systems, two parts, a tenth of them drills, as the program
// writes them (the triggers keep the days' figures). A few written notes are
// missed often, the rest seldom; right notes are a little sharp or flat.
constexpr int kHeardRuns = 10'000;
constexpr int kNotesARun = 48;

HeardNote benchNote(std::mt19937& random, int place) {
    static const std::int16_t written[] = {312, 332, 352, 302, 322, 342, 362, 412,
                                           432, 452, 402, 422, 442, 462, 512, 533};
    HeardNote note;
    note.place = place;
    const std::size_t which = random() % std::size(written);
    note.written = written[which];
    note.chartLine = static_cast<std::int16_t>(10 + which);
    const unsigned missOneIn = which % 5 == 0 ? 4 : 40;
    note.verdict = random() % missOneIn == 0 ? (random() % 2 ? 'x' : '-') : 'o';
    note.extraBefore = random() % 100 == 0;
    if (note.verdict == 'o' && random() % 10 != 0)
        note.cents = static_cast<double>(static_cast<int>(random() % 81) - 40 + static_cast<int>(which) - 8) / 2;
    return note;
}

void fillHeardHistory(const fs::path& file) {
    SqliteHistory(file).runs();  // made with its schema
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* run = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO runs (played_at, system, pairing, key, tempo, answer, grade, grade_no, heard_slips,"
                       " kind) VALUES (?, ?, ?, ?, ?, '1', ?, ?, ?, ?)",
                       -1, &run, nullptr);
    sqlite3_stmt* note = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO heard_notes VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &note, nullptr);
    std::mt19937 random(21);
    const int firstDay = *dayNumber("2026-12-07") - 89;
    const char* systems[] = {"Boe", "Oeh"};
    const char* pairings[] = {"BB", "BA"};
    for (int i = 0; i < kHeardRuns; ++i) {
        const int gradeNo = 1 + (i * 5) % 14;
        char at[32];
        std::snprintf(at, sizeof at, "%s %02d:%02d:%02d", dayText(firstDay + i * 90 / kHeardRuns).c_str(), 8 + i % 12,
                      i % 60, i % 60);
        std::vector<HeardNote> notes;
        for (int place = 0; place < kNotesARun; ++place) notes.push_back(benchNote(random, place));
        const auto slips = std::count_if(notes.begin(), notes.end(), [](const HeardNote& n) { return n.missed(); });
        const std::string grade(gradeText(gradeNo));
        sqlite3_bind_text(run, 1, at, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(run, 2, systems[i % 2], -1, SQLITE_STATIC);
        sqlite3_bind_text(run, 3, pairings[(i / 2) % 2], -1, SQLITE_STATIC);
        sqlite3_bind_text(run, 4, Key_tbl[static_cast<std::size_t>((i / 4) % 29)].code.data(), -1, SQLITE_STATIC);
        sqlite3_bind_text(run, 5, kTempoChoices[static_cast<std::size_t>(i % 9)].tempo.data(), -1, SQLITE_STATIC);
        sqlite3_bind_text(run, 6, grade.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(run, 7, gradeNo);
        sqlite3_bind_int(run, 8, static_cast<int>(slips));
        sqlite3_bind_text(run, 9, i % 10 == 0 ? "drill" : "key", -1, SQLITE_STATIC);
        sqlite3_step(run);
        sqlite3_reset(run);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        for (const HeardNote& n : notes) {
            sqlite3_bind_int64(note, 1, id);
            sqlite3_bind_int(note, 2, n.place);
            sqlite3_bind_int(note, 3, n.written);
            sqlite3_bind_int(note, 4, n.chartLine);
            sqlite3_bind_text(note, 5, std::string(1, n.verdict).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(note, 6, n.extraBefore ? 1 : 0);
            if (n.cents)
                sqlite3_bind_double(note, 7, *n.cents);
            else
                sqlite3_bind_null(note, 7);
            sqlite3_step(note);
            sqlite3_reset(note);
        }
    }
    sqlite3_finalize(note);
    sqlite3_finalize(run);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The drill's choice from a log: the boxes, today's targets most missed
// first, and the exercise made of them.
std::size_t drillChoice(const std::vector<NoteDay>& log, const std::string& today) {
    std::vector<std::int16_t> weakFirst;
    for (const WeakNote& w : weakNotes(log, today)) weakFirst.push_back(w.written);
    const std::vector<std::int16_t> targets = drillTargets(noteBoxes(log), weakFirst, today, kDrillMostTargets);
    std::vector<DrillNote> notes;
    for (const std::int16_t written : targets) notes.push_back(DrillNote{written, 0});
    return drillExercise(notes, "S01", [](std::int16_t written) { return written >= 200 && written < 600; }).size();
}

void benchHeardHistory(const fs::path& root) {
    const fs::path file = root / SqliteHistory::kFileName;
    fs::remove(file);
    const auto start = std::chrono::steady_clock::now();
    fillHeardHistory(file);
    const double filled = elapsedMs(start);
    const std::string today = "2026-12-07";
    const std::string from = dayText(*dayNumber(today) - 29);
    SqliteHistory history(file);
    std::printf("  10,000 heard runs, 480,000 notes over 90 days (written in %.1f s):\n", filled / 1000);
    // Before: every note of the system and part read, and the days worked out from them.
    std::vector<NoteDay> log;
    const double daysBefore =
        medianMs(3, [&] { log = noteDaysOf(*history.runs("Boe", "BB", true), "Boe", "BB", from); });
    const double days = medianMs(20, [&] { log = *history.noteDays("Boe", "BB", from); });
    const double figures = medianMs(20, [&] {
        weakNotes(log, today);
        tuningTendencies(log, today);
    });
    std::size_t lines = 0;
    const double drill = medianMs(20, [&] { lines = drillChoice(log, today); });
    std::vector<NoteDay> everyDay;
    const double drillAllDays = medianMs(10, [&] {
        everyDay = *history.noteDays("Boe", "BB", "");
        drillChoice(everyDay, today);
    });
    std::printf("    %-48s %8.2f ms   (before: %8.2f ms, every note read)\n", "weak-notes page: note days, 30 days",
                days, daysBefore);
    std::printf("    %-48s %8.2f ms   (%zu note days)\n", "  its weak notes and tuning tendencies", figures,
                log.size());
    std::printf("    %-48s %8.2f ms   (%zu lines)\n", "  the drill's choice (boxes, targets, exercise)", drill, lines);
    std::printf("    %-48s %8.2f ms   (%zu note days)\n", "the drill's choice from all 90 days, read", drillAllDays,
                everyDay.size());
    const double badges = medianMs(10, [&] { history.best("Boe", "BB"); });
    std::mt19937 random(5);
    int n = 0;
    auto aRun = [&](bool heard) {
        HistoryRun run = gradedRun(today + " 21:00:" + std::to_string(10 + n++ % 50));
        if (heard)
            for (int place = 0; place < kNotesARun; ++place) run.notes.push_back(benchNote(random, place));
        return run;
    };
    const double plain = medianMs(20, [&] { history.add(aRun(false)); });
    const double heard = medianMs(20, [&] { history.add(aRun(true)); });
    std::int64_t last = history.progress("Boe", "BB", {2026, 12, 7}, 1)->lastRunIds.at(0);
    const double removed = medianMs(10, [&] { history.remove(last--); });
    std::printf("    %-48s %8.2f ms   (a run not listened to: %8.2f ms)\n", "one heard run of 48 notes added", heard,
                plain);
    std::printf("    %-48s %8.2f ms\n", "a heard run taken back", removed);
    std::printf("    %-48s %8.2f ms\n", "key page, the best results (for comparison)", badges);
    std::printf("  target: the weak-notes page's figures and the drill's choice each under 50 ms\n");
}

void benchHistory(const fs::path& root) {
    using Clock = std::chrono::steady_clock;
    LocalFileSystem files(root);
    const std::string dir = Result_dir("Boe", "BB", "S01");
    std::string record = files.firstOrdinaryFile(dir);
    SqliteHistory history(root / SqliteHistory::kFileName);
    history.runs();  // opened, checked and made before the first run, as the key page does
    std::vector<double> renames, adds;
    for (int i = 0; i < 40; ++i) {
        const std::string next = "2026.12." + std::to_string(10 + i) + " Ｂ";
        auto start = Clock::now();
        files.rename(dir, record, next);
        renames.push_back(elapsedMs(start));
        record = next;
        start = Clock::now();
        history.add(gradedRun("2026-12-07 10:00:00"));
        adds.push_back(elapsedMs(start));
    }
    std::printf("  %-34s median %7.2f ms   p99 %7.2f ms\n", "record rename (baseline)", percentile(renames, 0.5),
                percentile(renames, 0.99));
    std::printf("  %-34s median %7.2f ms   p99 %7.2f ms\n", "history: one run written", percentile(adds, 0.5),
                percentile(adds, 0.99));

    // Another program holds the write lock for a second: the run is queued
    // at once. Before, the window waited 2 s for it and then lost the run.
    {
        sqlite3* other = nullptr;
        sqlite3_open((root / SqliteHistory::kFileName).c_str(), &other);
        sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        const double queued = medianMs(5, [&] { history.add(gradedRun("2026-12-07 10:01:00")); });
        sqlite3* before = nullptr;
        sqlite3_open((root / SqliteHistory::kFileName).c_str(), &before);
        sqlite3_busy_timeout(before, 2000);
        int lost = 0;
        const double waited = medianMs(1, [&] {
            lost = sqlite3_exec(before,
                                "INSERT INTO runs (played_at, system, pairing, key, tempo, answer, grade, grade_no) "
                                "VALUES ('2026-12-07 10:02:00', 'Boe', 'BB', 'S01', '120', '0', 'Ｂ', 8)",
                                nullptr, nullptr, nullptr) != SQLITE_OK;
        });
        sqlite3_close(before);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        std::printf("  %-34s median %7.2f ms, kept   (before: %7.2f ms, %s)\n", "history: another program writes",
                    queued, waited, lost ? "the run lost" : "written");
    }

    std::vector<double> reads;
    for (int i = 0; i < 10; ++i) {
        const auto start = Clock::now();
        for (const KeyEntry& key : Key_tbl) Read_result(files, "Boe", "BB", key.code);
        reads.push_back(elapsedMs(start));
    }
    std::printf("  %-34s median %7.2f ms   p99 %7.2f ms\n", "29 records read (baseline)", percentile(reads, 0.5),
                percentile(reads, 0.99));
    benchLongHistory(root, false);
    benchLongHistory(root, true);
    std::printf("  target: the key page and the progress page under 50 ms at 100,000 runs\n");
    benchHeardHistory(root);
}

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarvel::installFontSubstitutes();
    const fs::path dataSet = argc > 1 ? fs::path(argv[1]) : fs::path(TARVEL_BENCH_DATA);
    const fs::path root = fs::temp_directory_path() / ("tarvel-bench-" + std::to_string(::getpid()));
    if (!tarvel::makeLargestExercise(dataSet, root)) {
        std::fprintf(stderr, "tarvel-bench: no usable data set in %s\n", dataSet.string().c_str());
        return 1;
    }
    if (argc > 2 && std::string(argv[2]) == "--requests-only") {
        tarvel::benchRequests(root);
        fs::remove_all(root);
        return 0;
    }
    if (argc > 2 && std::string(argv[2]) == "--history-only") {
        tarvel::benchHistory(root);
        fs::remove_all(root);
        return 0;
    }
    if (argc > 2 && std::string(argv[2]) == "--sound-only") {
        tarvel::benchSoundDevice(root);
        fs::remove_all(root);
        return 0;
    }
    if (argc > 2 && std::string(argv[2]) == "--listening-only") {
        tarvel::benchListening(dataSet, TARVEL_BENCH_RENDERS, TARVEL_BENCH_PLAN);
        fs::remove_all(root);
        return 0;
    }
    std::printf("Tempo click to the first count-in caption, 320 notes and 2880 finger pictures (warm file cache):\n");
    tarvel::benchLoad(root, true, "decoded pictures shared");
    tarvel::benchLoad(root, false, "one decode per element");
    std::printf("320 beats at 480 beats a minute (%s platform):\n", qPrintable(QGuiApplication::platformName()));
    tarvel::benchRun(root, false, "deadline pacing");
    tarvel::benchRun(root, true, "fixed sleeps");
    std::printf("Listening to the rendered performances (%s):\n", TARVEL_BENCH_RENDERS);
    tarvel::benchListening(dataSet, TARVEL_BENCH_RENDERS, TARVEL_BENCH_PLAN);
    std::printf(
        "A close request and a click on the cancel picture in the middle of a pause, key S02:\n"
        "  time to the program's end and to the tempo page; in brackets with plain sleeps that\n"
        "  hear nothing until the pause is over (as before; never: by then the cancel picture\n"
        "  was gone, or the record had been written):\n");
    tarvel::benchRequests(root);
    std::printf("History (SQLite, write-ahead log, synchronous writes):\n");
    tarvel::benchHistory(root);
    std::printf("The metronome on a sound device (a PulseAudio null sink, recorded), 320 clicks at 480 a minute:\n");
    tarvel::benchSoundDevice(root);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
