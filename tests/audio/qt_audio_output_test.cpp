// The metronome through Qt Multimedia, as the program plays it: with no sound
// server at all, and on a private PulseAudio null sink whose output is
// recorded and measured.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "qt/qt_audio_output.h"
#include "support/click_track.h"
#include "support/fresh_process.h"
#include "support/null_sink.h"

namespace tarvel {
namespace {

using namespace std::chrono_literals;
using test::findOnsets;
using test::NullSink;

Instant steadyNow() { return std::chrono::duration_cast<Instant>(std::chrono::steady_clock::now().time_since_epoch()); }

void sleepUntil(Instant t) { std::this_thread::sleep_until(std::chrono::steady_clock::time_point(t)); }

constexpr auto kBeat = std::chrono::milliseconds(125);  // 480 beats a minute
constexpr double kBeatSamples = 44100 * 0.125;
// The output opens with the program; a run starts pages later. A server may
// take over a second to bring the new stream down to its short latency.
constexpr auto kPagesBeforeARun = std::chrono::milliseconds(2500);

// Plays `beats` clicks from `first` on as a run does: each asked for one beat
// ahead of its time, bars of four accented. Stops after `stopBefore` clicks
// (60 ms before the next one is due) when it is given.
void playGrid(QtAudioOutput& out, Instant first, int beats, int stopBefore = -1) {
    for (int k = 0; k < beats; ++k) {
        const Instant at = first + k * kBeat;
        if (k == stopBefore) {
            sleepUntil(at - 60ms);
            out.stopAll();
            return;
        }
        sleepUntil(k == 0 ? at - 1500ms : at - kBeat);  // the first during "いくよ"
        out.scheduleClick(k % 4 == 0 ? ClickKind::Accent : ClickKind::Beat, at);
    }
    sleepUntil(first + beats * kBeat);
}

std::string describe(const std::vector<test::Onset>& onsets) {
    std::string text = "onsets (sample, peak):";
    for (const auto& o : onsets) text += " " + std::to_string(o.sample) + "/" + std::to_string(o.peak).substr(0, 4);
    return text;
}

// Also runs the rest of the test in a fresh process: Qt Multimedia stays
// with the first sound server a process used.
#define SKIP_WITHOUT_PULSEAUDIO()                                                                          \
    if (const std::string missing = NullSink::missingTools(); !missing.empty())                            \
        GTEST_SKIP() << "PulseAudio is not installed (missing: " << missing                                \
                     << "); the real sound output is not tried. Install pulseaudio and pulseaudio-utils."; \
    RUN_IN_A_FRESH_PROCESS()

TEST(SoundDevice, WithoutAServerTheOutputIsSilentAndNeverBlocks) {
    ::setenv("PULSE_SERVER", "unix:/nonexistent", 1);
    const Instant before = steadyNow();
    {
        QtAudioOutput out;
        EXPECT_FALSE(out.deviceAvailable());
        for (int k = 0; k < 8; ++k) out.scheduleClick(ClickKind::Beat, steadyNow() + k * kBeat);
        out.stopAll();
        out.scheduleClick(ClickKind::Accent, steadyNow());
    }
    EXPECT_LT(steadyNow() - before, 2s) << "no wait for a device that is not there";
}

TEST(SoundDevice, ClicksLeaveANullSinkOnTheGridWithTheirAccents) {
    SKIP_WITHOUT_PULSEAUDIO();
    NullSink sink;
    ASSERT_TRUE(sink.ok()) << sink.error();
    QtAudioOutput out;
    ASSERT_TRUE(out.deviceAvailable());
    ASSERT_TRUE(sink.startRecording());
    std::this_thread::sleep_for(kPagesBeforeARun);
    const int beats = 40;
    playGrid(out, steadyNow() + 1500ms, beats);
    const std::vector<float> recording = sink.stopRecording();
    const auto onsets = findOnsets(recording, 44100);
    // A shared machine under load may starve the server now and then, so a
    // click may go missing or move by a few ms; the bench has the figures.
    // As a rule they lie exactly on the grid, accented on bars of four.
    ASSERT_GE(onsets.size(), static_cast<std::size_t>(beats) * 9 / 10) << describe(onsets);
    // Count the beats from one click to the next, so that a step does not
    // shift the count of the rest.
    long k = 0;
    int exact = 0;
    for (std::size_t i = 0; i < onsets.size(); ++i) {
        if (i > 0) {
            const double interval = static_cast<double>(onsets[i].sample - onsets[i - 1].sample);
            const long steps = std::max(1L, std::lround(interval / kBeatSamples));
            exact += std::abs(interval - static_cast<double>(steps) * kBeatSamples) <= 44;  // 1 ms
            k += steps;
        }
        EXPECT_EQ(onsets[i].peak > 0.33f, k % 4 == 0) << "click " << k << " peak " << onsets[i].peak;
    }
    EXPECT_GE(exact, static_cast<int>(onsets.size()) * 9 / 10 - 1) << "spaced to the millisecond; " << describe(onsets);
    std::vector<double> errors;
    for (std::size_t i = 1; i < onsets.size(); ++i)
        errors.push_back(std::abs(static_cast<double>(onsets[i].sample - onsets[i - 1].sample) - kBeatSamples));
    EXPECT_LE(test::percentile(errors, 0.5), 1.0) << "exact to the sample as a rule; " << describe(onsets);
    EXPECT_GT(out.outputLatencyMs(), 0);
    EXPECT_LT(out.outputLatencyMs(), 60);
}

TEST(SoundDevice, StopDropsTheClickAskedForAheadAndTheStreamComesBack) {
    SKIP_WITHOUT_PULSEAUDIO();
    NullSink sink;
    ASSERT_TRUE(sink.ok()) << sink.error();
    QtAudioOutput out;
    ASSERT_TRUE(sink.startRecording());
    std::this_thread::sleep_for(kPagesBeforeARun);
    playGrid(out, steadyNow() + 1500ms, 20, 8);  // stopped 60 ms before click 8
    std::this_thread::sleep_for(500ms);
    playGrid(out, steadyNow() + 1500ms, 4);  // the next run
    const auto onsets = findOnsets(sink.stopRecording(), 44100);
    // Clicks 0 to 7, nothing after the stop until the next run's four.
    ASSERT_GE(onsets.size(), 8u) << describe(onsets);
    std::size_t gap = 0;
    for (std::size_t k = 1; k < onsets.size(); ++k)
        if (onsets[k].sample - onsets[k - 1].sample > 44100) gap = k;
    ASSERT_GT(gap, 0u) << "a second of silence after the stop; " << describe(onsets);
    EXPECT_LE(gap, 8u) << "nothing sounded after the stop; " << describe(onsets);
    EXPECT_GE(gap, 7u) << describe(onsets);
    EXPECT_GE(onsets.size() - gap, 3u) << "the next run clicks again; " << describe(onsets);
    EXPECT_LE(onsets.size() - gap, 4u) << describe(onsets);
}

}  // namespace
}  // namespace tarvel
