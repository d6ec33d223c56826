// The metronome through tarvel-drive on the real program: the clicks of the
// trace and of the WAV file written with --audio-out lie on the beats, for
// runs of 2, 3 and 20 rows at 30, 120 and 480 beats a minute; the box, a
// cancel and a close; no sound device at all.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/click_track.h"
#include "support/driver_run.h"

namespace tarvel {
namespace {

using test::BuiltDataSet;
using test::linesStartingWith;
using test::runDriver;
using test::traceTime;

constexpr int kRate = 44100;
const std::string kToTempoPage = "click P1_Btn2\nclick P2_Btn2\nclick P3_Btn0\n";

void writeExercise(const BuiltDataSet& data, int notes) {
    std::string exercise = "#0\r\n";
    for (int n = 0; n < notes; ++n) exercise += std::string(n % 2 ? "2dn0" : "2cn0") + "\r\n";
    data.write("system\\onkai\\Oeh\\BC\\000.txt", exercise + "\r\n");
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& part, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(part) != std::string::npos) return i;
    return lines.size();
}

struct TracedClick {
    long long ms;
    bool accent;
};

std::vector<TracedClick> tracedClicks(const std::vector<std::string>& lines) {
    std::vector<TracedClick> clicks;
    for (const std::string& line : lines) {
        const bool accent = line.ends_with(" click accent");
        if (accent || line.ends_with(" click beat")) clicks.push_back({traceTime(line), accent});
    }
    return clicks;
}

std::int64_t sampleOfMs(long long ms) { return (ms * kRate + 500) / 1000; }

bool silentFrom(const std::vector<float>& samples, std::int64_t first) {
    for (std::size_t i = static_cast<std::size_t>(std::max<std::int64_t>(first, 0)); i < samples.size(); ++i)
        if (samples[i] != 0.0f) return false;
    return true;
}

TEST(MetronomeFlow, TraceAndWavClicksLieOnTheBeatsAccentedInBarsOfFour) {
    struct Tempo {
        const char* button;
        int beatMs;
    };
    for (const int notes : {32, 48, 320}) {
        BuiltDataSet data;
        writeExercise(data, notes);
        for (const Tempo tempo : {Tempo{"P4_Btn1", 2000}, Tempo{"P4_Btn5", 500}, Tempo{"P4_Btn9", 125}}) {
            SCOPED_TRACE(std::to_string(notes) + " notes, " + std::to_string(tempo.beatMs) + " ms a beat");
            const std::string wav = (data.root() / "run.wav").string();
            const auto run =
                runDriver(data, "--trace --audio-out '" + wav + "'", kToTempoPage + "click " + tempo.button + "\n");
            ASSERT_EQ(run.status, 0) << run.errors;
            const std::size_t countIn = indexOf(run.lines, "caption Label1 \"\\r\\nいくよ\"");
            ASSERT_LT(countIn, run.lines.size());
            const long long first = traceTime(run.lines[countIn]) + 1500;

            const std::vector<TracedClick> traced = tracedClicks(run.lines);
            ASSERT_EQ(traced.size(), static_cast<std::size_t>(4 + notes));
            for (int k = 0; k < 4 + notes; ++k) {
                EXPECT_EQ(traced[k].ms, first + k * tempo.beatMs) << "click " << k;
                EXPECT_EQ(traced[k].accent, k % 4 == 0) << "click " << k;
            }
            // Each count's click comes with its caption, each note's with its fingering.
            const char* counts[] = {"４", "３", "２", "１"};
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(
                    traceTime(run.lines[indexOf(run.lines, std::string("caption Label1 \"\\r\\n　 ") + counts[k])]),
                    traced[k].ms);
            for (const int n : {0, 17, notes - 1})
                EXPECT_EQ(traceTime(run.lines[indexOf(run.lines, "show Uns_img(" + std::to_string(9 * n) + ")")]),
                          traced[4 + n].ms)
                    << "note " << n;

            const test::Track track = test::readWav(wav);
            ASSERT_EQ(track.error, "");
            EXPECT_EQ(track.rate, kRate);
            const auto onsets = test::findOnsets(track.samples, kRate);
            ASSERT_EQ(onsets.size(), static_cast<std::size_t>(4 + notes));
            for (int k = 0; k < 4 + notes; ++k) {
                EXPECT_LE(std::abs(onsets[k].sample - sampleOfMs(first + k * tempo.beatMs)), kRate / 1000)
                    << "click " << k << " more than 1 ms off its beat";
                EXPECT_EQ(onsets[k].peak > 0.33f, k % 4 == 0) << "click " << k;
            }
            EXPECT_TRUE(silentFrom(track.samples, sampleOfMs(first + (4 + notes) * tempo.beatMs)))
                << "nothing after the last beat";
            const long long page5 = traceTime(run.lines[indexOf(run.lines, "show P5_Btn1")]);
            EXPECT_GE(static_cast<long long>(track.samples.size()), sampleOfMs(page5)) << "the whole run is written";
        }
    }
}

TEST(MetronomeFlow, TheBoxIsCheckedAtStartAndUncheckedGivesNoClick) {
    BuiltDataSet data;
    writeExercise(data, 32);
    const std::string wav = (data.root() / "silent.wav").string();
    const auto run = runDriver(data, "--trace --audio-out '" + wav + "'",
                               kToTempoPage + "dump\nclick Check2\ndump\nclick P4_Btn9\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto boxes = linesStartingWith(run.lines, "Check2 ");
    EXPECT_EQ(boxes, (std::vector<std::string>{"Check2 checked=1", "Check2 checked=0"}));
    EXPECT_TRUE(linesStartingWith(run.lines, "Lab_Oto").empty()) << "the driver's output has a device";
    EXPECT_LT(indexOf(run.lines, "show P5_Btn1"), run.lines.size());
    EXPECT_TRUE(tracedClicks(run.lines).empty());
    const test::Track track = test::readWav(wav);
    ASSERT_EQ(track.error, "");
    EXPECT_TRUE(silentFrom(track.samples, 0));
}

TEST(MetronomeFlow, CancelAndCloseSilenceTheRunAtOnce) {
    BuiltDataSet data;
    writeExercise(data, 48);
    for (const std::string stop : {"click Cancel_img", "close"}) {
        SCOPED_TRACE(stop);
        const std::string wav = (data.root() / "stopped.wav").string();
        // At 120 a minute the count-in clicks at 1500 to 3000 ms, the notes from 3500.
        const auto run = runDriver(data, "--trace --audio-out '" + wav + "'",
                                   kToTempoPage + "after 4100 " + stop + "\nclick P4_Btn5\n");
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::size_t stopLine = stop == "close" ? indexOf(run.lines, " exit 0")
                                                     : indexOf(run.lines, "show P4_Btn1", indexOf(run.lines, "いくよ"));
        ASSERT_LT(stopLine, run.lines.size());
        const long long stoppedAt = traceTime(run.lines[stopLine]);
        EXPECT_EQ(stoppedAt, 4100) << "at once, inside the beat's pause";
        const std::vector<TracedClick> traced = tracedClicks(run.lines);
        ASSERT_FALSE(traced.empty());
        EXPECT_EQ(traced.back().ms, 4000) << "the click due at 4500 ms never sounds";
        for (std::size_t i = stopLine; i < run.lines.size(); ++i)
            EXPECT_EQ(run.lines[i].find(" click "), std::string::npos) << run.lines[i];
        const test::Track track = test::readWav(wav);
        ASSERT_EQ(track.error, "");
        EXPECT_EQ(test::findOnsets(track.samples, kRate).size(), 6u) << "1500 to 4000 ms";
        EXPECT_TRUE(silentFrom(track.samples, sampleOfMs(stoppedAt))) << "silent from the stop on";
    }
}

TEST(MetronomeFlow, WithoutASoundDeviceTheRunIsSilentAndTheTempoPageSaysSo) {
    ::setenv("PULSE_SERVER", "unix:/nonexistent", 1);
    BuiltDataSet data;
    writeExercise(data, 32);
    const auto run =
        runDriver(data, "--sound", kToTempoPage + "dump\nclick P4_Btn9\ndump\nclick P5_Btn1\nclick P6_Btn2\ndump\n");
    ::unsetenv("PULSE_SERVER");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto notes = linesStartingWith(run.lines, "Lab_Oto ");
    ASSERT_EQ(notes.size(), 2u) << "on the tempo page, both times";
    EXPECT_EQ(notes[0], "Lab_Oto font=\"MS UI Gothic\" size=10.8 caption=\"音を出せる装置が見つかりません\"");
    EXPECT_EQ(linesStartingWith(run.lines, "Check2 ").size(), 2u);
    EXPECT_TRUE(linesStartingWith(run.lines, "message").empty()) << "no message box";
    EXPECT_EQ(linesStartingWith(run.lines, "P5_Btn1 ").size(), 1u) << "the run went on to page 5";
}

}  // namespace
}  // namespace tarvel
