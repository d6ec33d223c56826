// Judging what was heard: the rule on made-up pitch frames, the proposal, the
// sounding pitch of a chart line, the WAV input in virtual time, and the whole
// chain on performances rendered from the exercise files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fstream>

#include <cmath>
#include <functional>

#include "audio/wav_file_input.h"
#include "listen/hum_filter.h"
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
        f.shortLevelDb = f.levelDb;
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
    // What is heard depends on the room, not on a fixed level: a quiet
    // microphone over a quieter room is heard, a sound no louder than the
    // room is not, nor are unsure frames.
    struct Case {
        const char* what;
        float played, room, confidence;
        bool heard;
    };
    for (const Case c : {Case{"quiet microphone, quiet room", -55, -75, 0.9f, true},
                         Case{"as loud as the room", -55, -55, 0.9f, false}, Case{"unsure", -20, -70, 0.4f, false}}) {
        auto frames = play(g, 0, [](std::size_t, int e) { return double(e); });
        for (PitchFrame& f : frames) {
            f.levelDb = f.shortLevelDb = f.midi > 0 ? c.played : c.room;
            if (f.midi > 0) f.confidence = c.confidence;
        }
        const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.heard, c.heard) << c.what;
        if (c.heard) {
            EXPECT_EQ(j.slips, 0) << c.what;
        }
    }
}

// A note on the same pitch as the one before: not played when only the note
// before carries on falling or fading; played when it starts anew (a tongued
// dip and rise) or is held at full strength; wrong when something else sounds.
TEST(Judging, ANoteAfterTheSamePitchIsPlayedOnlyWhenItStartsAnew) {
    const Grid base = scaleGrid(250, 8);
    Grid g = base;
    g.expected[4] = g.expected[3];  // note 4 repeats note 3
    struct Case {
        const char* what;
        std::function<void(PitchFrame&, double)> beat4;  // the frames of beat 4, at ms into it
        char mark;
    };
    const double note = g.expected[3];
    const std::vector<Case> cases{
        {"falling tail",
         [&](PitchFrame& f, double at) {
             f.midi = static_cast<float>(note);
             f.levelDb = f.shortLevelDb = static_cast<float>(-20 - 0.12 * std::max(0.0, at));  // 12 dB in 100 ms
         },
         '-'},
        {"fading, quieter",
         [&](PitchFrame& f, double at) {
             f.midi = static_cast<float>(note);
             f.levelDb = f.shortLevelDb = at < 0 ? -20.0f : -32.0f;
         },
         '-'},
        {"held at full strength",
         [&](PitchFrame& f, double) {
             f.midi = static_cast<float>(note);
             f.levelDb = f.shortLevelDb = -20;
         },
         'o'},
        {"tongued: a dip, then as loud",
         [&](PitchFrame& f, double at) {
             f.midi = static_cast<float>(note);
             f.levelDb = at > -20 && at < 30 ? -26.0f : -20.0f;
             f.shortLevelDb = at > -20 && at < 15 ? -34.0f : -20.0f;
         },
         'o'},
        {"slurred to another pitch",
         [&](PitchFrame& f, double at) {
             f.midi = static_cast<float>(at < 0 ? note : note + 2);
             f.levelDb = f.shortLevelDb = -20;
         },
         'x'},
    };
    for (const Case& c : cases) {
        auto frames = play(g, 0, [](std::size_t n, int e) -> double { return n == 4 ? 0 : e; });
        for (PitchFrame& f : frames) {
            const double ms = static_cast<double>(f.sample) * 1000 / kRate;
            if (ms >= g.beats[4] - 0.1 * g.beat && ms < g.beats[4] + 0.9 * g.beat) {  // from the end of note 3
                f.confidence = 0.9f;
                c.beat4(f, ms - g.beats[4]);
            }
        }
        const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.markText(), "oooo" + std::string(1, c.mark) + "ooo") << c.what;
    }
}

// The lag is followed block by block: a player far behind, or whose tempo
// drifts by 3 %, has every note right.
TEST(Judging, TheLagFollowsALatePlayerAndADriftingTempo) {
    struct Case {
        double beat, late, drift;  // drift: the share of a beat gained (+) or lost a note
    };
    for (const Case c : {Case{125, 350, 0}, Case{250, -90, 0}, Case{500, 100, 0.03}, Case{500, 250, -0.03},
                         Case{125, 100, 0.03}, Case{1000, 0, -0.03}}) {
        const Grid g = scaleGrid(c.beat, 48);
        const auto frames = framesOf(g.beats.back() + 3 * c.beat + 1500, [&](double ms) -> double {
            for (std::size_t n = 0; n < g.beats.size(); ++n) {
                const double start = g.beats[n] + c.late - c.drift * c.beat * static_cast<double>(n);
                if (ms >= start && ms < start + 0.9 * c.beat * (1 - c.drift)) return g.expected[n];
            }
            return 0;
        });
        const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.markText(), std::string(48, 'o'))
            << "beat " << c.beat << " late " << c.late << " drift " << c.drift;
        EXPECT_TRUE(j.extraBefore.empty());
    }
}

// An extra note between two notes is a slip of its own, placed between them;
// a short blip, a note a register away (the tracker's octave slips) and the
// note before dying away are not extra notes.
TEST(Judging, AnExtraNoteBetweenTwoNotesIsASlip) {
    struct Case {
        const char* what;
        double pitchOffset;  // from the note it follows
        double lengthMs;
        std::vector<int> extraBefore;
    };
    for (const Case& c : {Case{"a third up, 80 ms", 4, 80, {4}}, Case{"a blip of 20 ms", 4, 20, {}},
                          Case{"an octave down", -12, 80, {}}, Case{"a twelfth up", 19, 80, {}}}) {
        const Grid g = scaleGrid(500, 8);
        const auto frames = framesOf(g.beats.back() + 1500, [&](double ms) -> double {
            for (std::size_t n = 0; n < g.beats.size(); ++n) {
                const double start = g.beats[n];
                if (n == 3 && ms >= start + 300 && ms < start + 300 + c.lengthMs) return g.expected[n] + c.pitchOffset;
                if (ms >= start && ms < start + (n == 3 ? 300 : 450)) return g.expected[n];
            }
            return 0;
        });
        const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.markText(), std::string(8, 'o')) << c.what;
        EXPECT_EQ(j.extraBefore, c.extraBefore) << c.what;
        EXPECT_EQ(j.slips, static_cast<int>(c.extraBefore.size())) << c.what;
        EXPECT_EQ(proposedAnswer(j), c.extraBefore.empty() ? "0" : "1") << c.what;
    }
}

// Notes are judged against the concert pitch the player tunes to: at A = 442
// everything sounds 8 cents higher, which the judge allows for.
TEST(Judging, TheConcertPitchMovesWhatIsRight) {
    struct Case {
        double a4, playedCents;  // how far from A = 440 the player plays
        char mark;
        double cents;  // the note's deviation the judge reports
    };
    for (const Case c : {Case{440, 0, 'o', 0}, Case{442, 7.85, 'o', 0}, Case{442, 55, 'o', 47.15},
                         Case{440, 55, 'x', 0}, Case{438, -50, 'o', -42.1}, Case{446, -30, 'x', 0}}) {
        Grid g = scaleGrid(500, 4);
        for (std::size_t n = 0; n < g.expected.size(); ++n) g.expected[n] = 60 + 2 * static_cast<int>(n);
        JudgeRule rule;
        rule.a4Hz = c.a4;
        const Judgement j = judgeRun(play(g, 0, [&](std::size_t, int e) { return e + c.playedCents / 100; }), kRate,
                                     g.beats, g.beat, g.expected, rule);
        EXPECT_EQ(j.markText(), std::string(4, c.mark)) << "A " << c.a4 << " played " << c.playedCents;
        if (c.mark == 'o') {
            EXPECT_NEAR(j.cents[0], c.cents, 0.5) << "A " << c.a4 << " played " << c.playedCents;
        }
    }
}

// The room, from the count-in: its level, a steady hum below the clarinet's
// range, and whether it leaves the playing too little room to judge.
TEST(Judging, TheCountInMeasuresTheRoom) {
    struct Case {
        const char* what;
        float roomDb;
        double roomMidi;  // a steady pitch in the room, 0 for none
        std::optional<double> humHz;
        bool noisy;
    };
    for (const Case& c :
         {Case{"quiet", -70, 0, std::nullopt, false}, Case{"mains hum 14 dB under", -34, 31.35, 50.0, false},
          Case{"mains hum 7 dB under", -27, 31.35, 50.0, true}, Case{"noise 5 dB under", -25, 0, std::nullopt, true},
          Case{"someone playing in the count-in", -30, 69, std::nullopt, false}}) {
        const Grid g = scaleGrid(500, 8);
        auto frames = play(g, 0, [](std::size_t, int e) { return double(e); });
        for (PitchFrame& f : frames) {
            if (f.midi > 0) continue;
            f.midi = static_cast<float>(c.roomMidi);
            f.confidence = c.roomMidi > 0 ? 0.9f : 0.1f;
            f.levelDb = f.shortLevelDb = c.roomDb;
        }
        const RoomReport room = measureRoom(frames, kRate, g.beats.front());
        EXPECT_NEAR(room.floorDb, c.roomDb, 0.5) << c.what;
        EXPECT_EQ(room.humHz.has_value(), c.humHz.has_value()) << c.what;
        if (c.humHz && room.humHz) {
            EXPECT_NEAR(*room.humHz, *c.humHz, 0.1) << c.what;
        }
        const Judgement j = judgeRun(frames, kRate, g.beats, g.beat, g.expected);
        EXPECT_EQ(j.noisy, c.noisy) << c.what;
        EXPECT_EQ(proposedAnswer(j).has_value(), !c.noisy) << c.what;
    }
}

// The hum filter takes a mains hum and its harmonics out and leaves a note.
TEST(HumFilter, RemovesTheHumAndKeepsTheNote) {
    const int rate = 44100;
    auto level = [](const std::vector<float>& s, std::size_t from) {
        double e = 0;
        for (std::size_t i = from; i < s.size(); ++i) e += double(s[i]) * s[i];
        return 10 * std::log10(e / static_cast<double>(s.size() - from));
    };
    auto signal = [&](double hum, double note) {
        std::vector<float> s(rate * 2);
        for (std::size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            s[i] = static_cast<float>(hum * (std::sin(2 * M_PI * 50.02 * t) + 0.6 * std::sin(2 * M_PI * 150.06 * t) +
                                             0.3 * std::sin(2 * M_PI * 250.1 * t)) +
                                      note * std::sin(2 * M_PI * 293.66 * t));
        }
        return s;
    };
    const std::size_t settled = rate / 2;
    std::vector<float> hum = signal(0.1, 0), note = signal(0, 0.1);
    const double humBefore = level(hum, settled), noteBefore = level(note, settled);
    HumFilter(50.02, rate).process(hum.data(), hum.size());
    HumFilter(50.02, rate).process(note.data(), note.size());
    EXPECT_LT(level(hum, settled), humBefore - 30) << "the hum and its harmonics";
    EXPECT_NEAR(level(note, settled), noteBefore, 1.0) << "a D4 between the harmonics";
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

// A WAV header of 16-bit mono samples; the samples themselves are left to the
// caller (a sparse file of zeros, say).
void writeWavHeader(const std::filesystem::path& file, int rate, std::uint32_t samples) {
    std::ofstream out(file, std::ios::binary);
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    out.write("RIFF", 4);
    put(36 + samples * 2, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4), put(1, 2), put(1, 2), put(static_cast<std::uint32_t>(rate), 4);
    put(static_cast<std::uint32_t>(rate) * 2, 4), put(2, 2), put(16, 2);
    out.write("data", 4);
    put(samples * 2, 4);
}

TEST(WavFileInput, ReplaysTheFileOnTheRunsClockReadingItAsItIsHeard) {
    test::DataFolder folder;
    const auto path = folder.root() / "tone.wav";
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 " + path.string() + " synth 1 sine 440 2>/dev/null").c_str()),
              0);
    WavFileInput input(path.string());
    ASSERT_TRUE(input.ok()) << input.error();
    EXPECT_EQ(input.deviceNames(), std::vector<std::string>{"tone.wav"});
    EXPECT_EQ(input.sampleRate(), 44100);
    using std::chrono::milliseconds;
    EXPECT_TRUE(input.take(milliseconds(5000)).samples.empty());  // not started: nothing heard
    ASSERT_TRUE(input.start(milliseconds(2000)));
    EXPECT_TRUE(input.take(milliseconds(2000)).samples.empty());
    const AudioBlock first = input.take(milliseconds(2250));
    EXPECT_EQ(first.first, 0);
    EXPECT_EQ(first.samples.size(), 11025u);
    const AudioBlock rest = input.take(milliseconds(9000));
    EXPECT_EQ(rest.first, 11025);
    EXPECT_EQ(rest.samples.size(), 33075u);  // the file ends after a second
    EXPECT_TRUE(input.take(milliseconds(9500)).samples.empty());

    // Twenty minutes: only what has been heard is read.
    const auto longer = folder.root() / "long.wav";
    writeWavHeader(longer, 44100, 20 * 60 * 44100);
    std::filesystem::resize_file(longer, 44 + 20 * 60 * 44100 * 2);
    WavFileInput recording(longer.string());
    ASSERT_TRUE(recording.ok()) << recording.error();
    EXPECT_EQ(recording.sampleCount(), 20u * 60 * 44100);
    ASSERT_TRUE(recording.start(milliseconds(0)));
    EXPECT_EQ(recording.take(milliseconds(1000)).samples.size(), 44100u);
    EXPECT_LE(recording.samplesRead(), 44100u + 4096u);
}

TEST(WavFileInput, AFileThatCannotBeHeardIsCalledWhatItIs) {
    test::DataFolder folder;
    const auto fifo = folder.root() / "pipe.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.root() / "folder.wav");
    const struct {
        std::filesystem::path path;
        const char* said;
    } cases[] = {
        {folder.root() / "none.wav", "見つかりません"},
        {fifo, "名前付きパイプ"},
        {folder.root() / "folder.wav", "フォルダ"},
    };
    for (const auto& c : cases) {
        WavFileInput input(c.path.string());
        EXPECT_FALSE(input.ok());
        EXPECT_NE(input.error().find(c.path.filename().string()), std::string::npos) << input.error();
        EXPECT_NE(input.error().find(c.said), std::string::npos) << input.error();
        EXPECT_TRUE(input.deviceNames().empty());
        EXPECT_FALSE(input.start(std::chrono::milliseconds(0)));
    }
}

// A clean performance recorded at another rate is heard as the microphone
// hears it, at 44.1 kHz: no slip that was not played.
TEST(WavFileInput, ARecordingAtAnotherRateIsHeardAtTheMicrophonesRate) {
    const auto plan = test::readPlan(TARVEL_PERFORMANCE_PLAN);
    const auto clean = std::find_if(plan.begin(), plan.end(), [](const auto& p) { return p.name == "clean-120"; });
    ASSERT_NE(clean, plan.end());
    const std::filesystem::path render = std::filesystem::path(TARVEL_RENDERS) / "clean-120.wav";
    if (!std::filesystem::exists(render)) GTEST_SKIP() << "no rendered performances in " << TARVEL_RENDERS;
    for (const int rate : {8000, 192000}) {
        SCOPED_TRACE(rate);
        test::DataFolder renders;
        ASSERT_EQ(std::system(("sox " + render.string() + " -r " + std::to_string(rate) + " " +
                               (renders.root() / "clean-120.wav").string() + " 2>/dev/null")
                                  .c_str()),
                  0);
        const test::Heard heard = test::hearPerformance(*clean, TARVEL_BUILT_DATA, renders.root());
        ASSERT_TRUE(heard.ok) << heard.error;
        EXPECT_EQ(heard.rate, 44100);
        EXPECT_EQ(heard.judgement.markText(), std::string(heard.notes, 'o'));
    }
}

// Every rendered performance, judged: the planted slips and nothing else, the
// extra notes where they fell, a room too noisy said so, and the player's lag found.
TEST(RenderedPerformances, EveryNoteJudgedAsPlanted) {
    const auto plan = test::readPlan(TARVEL_PERFORMANCE_PLAN);
    ASSERT_FALSE(plan.empty());
    if (!std::filesystem::exists(std::filesystem::path(TARVEL_RENDERS) / (plan.front().name + ".wav")))
        GTEST_SKIP() << "no rendered performances in " << TARVEL_RENDERS
                     << " (fluidsynth, fluid-soundfont-gm or sox missing at build time)";
    for (const test::Performance& p : plan) {
        SCOPED_TRACE(p.name);
        const test::Heard heard = test::hearPerformance(p, TARVEL_BUILT_DATA, TARVEL_RENDERS);
        ASSERT_TRUE(heard.ok) << heard.error;
        const Judgement& j = heard.judgement;
        const std::string room =
            "played " + std::to_string(j.playedDb) + " dB, room " + std::to_string(j.room.floorDb) + " dB, hum " +
            (j.room.humHz ? std::to_string(*j.room.humHz) : "-") + " Hz at " + std::to_string(j.room.humDb) + " dB";
        EXPECT_TRUE(j.heard);
        EXPECT_EQ(j.noisy, p.noisy) << room;
        if (p.noisy) continue;
        // Every planted slip caught, as planted; no false slip, but for at most
        // one at ♩480 (a note's own sound is then shortest).
        const std::string want = p.expectedMarks(heard.notes), got = j.markText();
        int falseSlips = 0;
        for (std::size_t n = 0; n < want.size(); ++n) {
            if (want[n] != 'o') {
                EXPECT_EQ(got[n], want[n]) << "note " << n << ": " << got;
            }
            falseSlips += want[n] == 'o' && got[n] != 'o';
        }
        const std::vector<int> extras = p.expectedExtras();
        for (const int k : extras)
            EXPECT_NE(std::find(j.extraBefore.begin(), j.extraBefore.end(), k), j.extraBefore.end()) << "extra " << k;
        for (const int k : j.extraBefore) falseSlips += std::find(extras.begin(), extras.end(), k) == extras.end();
        EXPECT_LE(falseSlips, p.tempo == 480 ? 1 : 0) << got;
        EXPECT_EQ(j.slips, p.expectedSlips() + falseSlips);
        // A reverberant room hides a note's start under the note before a little longer.
        if (p.steadyTempo) {
            EXPECT_GE(j.lagMs, p.lateMs);
            EXPECT_LE(j.lagMs, p.lateMs + (p.room ? 90 : 55));
        }
    }
}

}  // namespace
}  // namespace tarvel
