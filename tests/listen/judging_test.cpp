// Judging what was heard: the rule on made-up pitch frames, the proposal, the
// sounding pitch of a chart line, the WAV input in virtual time, and the whole
// chain on performances rendered from the exercise files.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/wav_file_input.h"
#include "listen/judging.h"
#include "run/note_mapping.h"
#include "support/data_folder.h"
#include "support/performances.h"

namespace tarvel {
namespace {

constexpr int kRate = 44100;
constexpr double kHopMs = 256.0 * 1000 / kRate;

// Frames every hop from 0 to `untilMs`; `pitchAt` gives the pitch at a time
// (0 for none).
template <typename F>
std::vector<PitchFrame> framesOf(double untilMs, F pitchAt) {
    std::vector<PitchFrame> frames;
    for (double ms = 0; ms < untilMs; ms += kHopMs) {
        PitchFrame f;
        f.sample = static_cast<std::int64_t>(std::llround(ms * kRate / 1000));
        f.midi = static_cast<float>(pitchAt(ms));
        f.confidence = f.midi > 0 ? 0.9f : 0.1f;
        f.levelDb = f.midi > 0 ? -20.0f : -70.0f;
        frames.push_back(f);
    }
    return frames;
}

struct Grid {
    std::vector<double> beats;
    std::vector<int> expected;
    double beat;
};

Grid scaleGrid(double beatMs, int notes) {
    Grid g{{}, {}, beatMs};
    for (int n = 0; n < notes; ++n) {
        g.beats.push_back(1000 + n * beatMs);
        g.expected.push_back(60 + n % 12);
    }
    return g;
}

// A player `lateMs` behind the beat, holding each note for 90 % of it;
// `played` changes what note n sounds (0: not played).
template <typename F>
std::vector<PitchFrame> play(const Grid& g, double lateMs, F played) {
    return framesOf(g.beats.back() + 2 * g.beat + 300, [&](double ms) -> double {
        for (std::size_t n = 0; n < g.beats.size(); ++n) {
            const double start = g.beats[n] + lateMs;
            if (ms >= start && ms < start + 0.9 * g.beat) return played(n, g.expected[n]);
        }
        return 0;
    });
}

TEST(Judging, RightNotesAtAnyLagInTheSearchedRange) {
    for (const double beat : {125.0, 250.0, 500.0, 1000.0})
        for (const double late : {-40.0, 0.0, 80.0, 150.0, 200.0}) {
            const Grid g = scaleGrid(beat, 32);
            const Judgement j =
                judgeRun(play(g, late, [](std::size_t, int e) { return e + 0.2; }), kRate, g.beats, g.beat, g.expected);
            EXPECT_TRUE(j.heard);
            EXPECT_EQ(j.markText(), std::string(32, 'o')) << "beat " << beat << " late " << late;
            EXPECT_EQ(j.slips, 0);
            EXPECT_NEAR(j.lagMs, late, 6) << "beat " << beat;  // within a hop
        }
}

TEST(Judging, WrongPitchesSilencesAndTheRegisterSlip) {
    const Grid g = scaleGrid(250, 16);
    const std::map<std::size_t, double> slips{{2, +1}, {5, -1}, {7, +4}, {9, +19}, {11, -19}, {13, +12}};
    const Judgement j = judgeRun(play(g, 60,
                                      [&](std::size_t n, int e) -> double {
                                          if (n == 4 || n == 14) return 0;  // not played
                                          const auto s = slips.find(n);
                                          return e + (s == slips.end() ? 0 : s->second);
                                      }),
                                 kRate, g.beats, g.beat, g.expected);
    EXPECT_EQ(j.markText(), "ooxo-xoxoxoxox-o");
    EXPECT_EQ(j.slips, 8);
    EXPECT_NEAR(j.lagMs, 60, 10);
}

TEST(Judging, TheToleranceIsFiftyCents) {
    const Grid g = scaleGrid(500, 8);
    for (const auto& [cents, mark] :
         std::vector<std::pair<double, char>>{{30, 'o'}, {-45, 'o'}, {60, 'x'}, {-80, 'x'}}) {
        const Judgement j =
            judgeRun(play(g, 0, [&, cents = cents](std::size_t n, int e) { return e + (n == 3 ? cents / 100 : 0.0); }),
                     kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.markText()[3], mark) << cents << " cents";
    }
}

TEST(Judging, TheAttackIsNotJudgedAndFifteenPercentSuffice) {
    const Grid g = scaleGrid(1000, 4);
    // The right pitch only at the very start of beat 1 (inside the 40 ms
    // attack), and for 20 % of beat 2 after a wrong start.
    const auto frames = framesOf(6000, [&](double ms) -> double {
        const double in = ms - 1000;
        const int n = static_cast<int>(in / 1000);
        const double at = in - n * 1000;
        if (in < 0 || n > 3) return 0;
        if (n == 1) return at < 35 ? g.expected[1] : g.expected[1] + 3;
        if (n == 2) return at < 700 ? g.expected[2] + 3 : (at < 900 ? g.expected[2] : 0);
        return g.expected[n];
    });
    const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
    EXPECT_EQ(j.markText(), "oxoo");
}

TEST(Judging, TheNoteBeforeFadingIsNotAPlayedNote) {
    // Beat 3 is not played: only note 2 fades into it, 10 dB quieter. Beat 6
    // repeats note 5 at full strength: a wrong note.
    const Grid g = scaleGrid(250, 8);
    auto frames = play(g, 0, [](std::size_t n, int e) -> double { return n == 3 ? 0 : e; });
    for (PitchFrame& f : frames) {
        const double ms = static_cast<double>(f.sample) * 1000 / kRate;
        if (ms >= g.beats[3] && ms < g.beats[4]) {
            f.midi = static_cast<float>(g.expected[2]);
            f.confidence = 0.9f;
            f.levelDb = -30;
        }
        if (ms >= g.beats[6] && ms < g.beats[6] + 0.9 * g.beat) f.midi = static_cast<float>(g.expected[5]);
    }
    const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
    EXPECT_EQ(j.markText(), "ooo-ooxo");
    EXPECT_EQ(j.slips, 2);
}

TEST(Judging, NothingHeardProposesNothing) {
    const Grid g = scaleGrid(500, 16);
    const Judgement silent =
        judgeRun(play(g, 0, [](std::size_t, int) { return 0.0; }), kRate, g.beats, g.beat, g.expected);
    EXPECT_FALSE(silent.heard);
    EXPECT_EQ(silent.markText(), std::string(16, '-'));
    EXPECT_FALSE(proposedAnswer(silent).has_value());
    const Judgement none = judgeRun({}, kRate, g.beats, g.beat, g.expected);
    EXPECT_FALSE(none.heard);
    EXPECT_FALSE(proposedAnswer(none).has_value());
    // Quiet or unsure frames are not heard either.
    auto quiet = play(g, 0, [](std::size_t, int e) { return double(e); });
    for (PitchFrame& f : quiet) f.levelDb = -55;
    EXPECT_FALSE(judgeRun(quiet, kRate, g.beats, g.beat, g.expected).heard);
    auto unsure = play(g, 0, [](std::size_t, int e) { return double(e); });
    for (PitchFrame& f : unsure) f.confidence = 0.4f;
    EXPECT_FALSE(judgeRun(unsure, kRate, g.beats, g.beat, g.expected).heard);
}

TEST(Judging, TheProposalForACountOfSlips) {
    const std::pair<int, const char*> table[] = {{0, "0"}, {1, "1"}, {2, "1"}, {3, "2"}, {5, "2"}, {6, "3"}, {48, "3"}};
    for (const auto& [slips, answer] : table) {
        Judgement j;
        j.heard = true;
        j.slips = slips;
        ASSERT_TRUE(proposedAnswer(j).has_value());
        EXPECT_EQ(*proposedAnswer(j), answer) << slips << " slips";
    }
}

TEST(Judging, TheSoundingPitchOfANoteIsItsChartBlockAWholeToneLower) {
    // Written E3 for the B-flat clarinet (block 2) sounds D3; C6 (block 34) B-flat 5.
    EXPECT_EQ(soundingPitch(20), 50);
    EXPECT_EQ(soundingPitch(23), 50);  // the variant does not change the pitch
    EXPECT_EQ(soundingPitch(340), 82);
    // The same fingered note in the three pairings: written C5 in a B-flat
    // part, B-flat 4 in a C part, C-sharp 5 in an A part.
    const struct {
        const char* pairing;
        const char* note;
    } parts[] = {{"BB", "3cn0"}, {"BC", "2bb0"}, {"BA", "3c#0"}};
    for (const auto& part : parts) {
        std::vector<std::string> notes(32, part.note);
        const auto read = readExercise(test::exerciseLines("#0", notes), part.pairing, false);
        ASSERT_TRUE(std::holds_alternative<LoadedExercise>(read)) << part.pairing;
        EXPECT_EQ(soundingPitch(std::get<LoadedExercise>(read).notes.Unshi_no[0]), 70) << part.pairing;  // B-flat 4
    }
}

TEST(WavFileInput, ReplaysTheFileOnTheRunsClock) {
    test::DataFolder folder;
    const auto path = folder.root() / "tone.wav";
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 2 -b 16 " + path.string() + " synth 1 sine 440 2>/dev/null").c_str()), 0);
    WavFileInput input(path.string());
    ASSERT_TRUE(input.ok()) << input.error();
    EXPECT_EQ(input.deviceNames(), std::vector<std::string>{"tone.wav"});
    EXPECT_EQ(input.sampleRate(), 8000);
    using std::chrono::milliseconds;
    EXPECT_TRUE(input.take(milliseconds(5000)).samples.empty());  // not started: nothing heard
    ASSERT_TRUE(input.start(milliseconds(2000)));
    EXPECT_TRUE(input.take(milliseconds(2000)).samples.empty());
    const AudioBlock first = input.take(milliseconds(2250));
    EXPECT_EQ(first.first, 0);
    EXPECT_EQ(first.samples.size(), 2000u);
    const AudioBlock rest = input.take(milliseconds(9000));
    EXPECT_EQ(rest.first, 2000);
    EXPECT_EQ(rest.samples.size(), 6000u);  // the file ends after a second
    EXPECT_TRUE(input.take(milliseconds(9500)).samples.empty());

    WavFileInput missing((folder.root() / "none.wav").string());
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("none.wav"), std::string::npos);
    EXPECT_TRUE(missing.deviceNames().empty());
    EXPECT_FALSE(missing.start(milliseconds(0)));
}

// Every rendered performance, judged: the planted slips and nothing else, and
// the player's lag found.
TEST(RenderedPerformances, EveryNoteJudgedAsPlanted) {
    const auto plan = test::readPlan(TARVEL_PERFORMANCE_PLAN);
    ASSERT_FALSE(plan.empty());
    if (!std::filesystem::exists(std::filesystem::path(TARVEL_RENDERS) / (plan.front().name + ".wav")))
        GTEST_SKIP() << "no rendered performances in " << TARVEL_RENDERS
                     << " (fluidsynth, fluid-soundfont-gm or sox missing at build time)";
    for (const test::Performance& p : plan) {
        const test::Heard heard = test::hearPerformance(p, TARVEL_BUILT_DATA, TARVEL_RENDERS);
        ASSERT_TRUE(heard.ok) << heard.error;
        EXPECT_TRUE(heard.judgement.heard) << p.name;
        EXPECT_EQ(heard.judgement.markText(), p.expectedMarks(heard.notes)) << p.name;
        EXPECT_EQ(heard.judgement.slips, static_cast<int>(p.slips.size())) << p.name;
        // A note is heard to start when its sound fills half of the tracker's window.
        EXPECT_GE(heard.judgement.lagMs, p.lateMs) << p.name;
        EXPECT_LE(heard.judgement.lagMs, p.lateMs + 50) << p.name;
    }
}

}  // namespace
}  // namespace tarvel
