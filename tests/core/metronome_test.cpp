// The metronome of the run: count-in and beat clicks on the deadline grid,
// accents on bars of four, the check box and its note, silence after a
// cancel or a close.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/texts.h"
#include "data/data_paths.h"
#include "support/program_fixture.h"
#include "support/recording_audio.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

long long ms(Instant t) { return std::chrono::duration_cast<std::chrono::milliseconds>(t).count(); }

class MetronomeTest : public test::ProgramTest {
protected:
    MetronomeTest() : audio(window) {}
    void SetUp() override {
        program.setAudioOutput(audio);
        writePlainChart();
        writeExercise(32);
        start();
        click(el::P1_Btn1);
        click(el::P2_Btn1);
        click(el::P3_Btn(1));
    }
    void writeExercise(int notes) {
        data.writeLines(exercisePath("Boe", "BB", "S01"), exerciseLines("#1", scaleNotes(notes)));
    }
    std::size_t play(int button) {
        const std::size_t from = mark();
        click(el::P4_Btn(button));
        return from;
    }
    bool has(std::size_t from, const std::string& op) const {
        return std::find(window.ops.begin() + static_cast<std::ptrdiff_t>(from), window.ops.end(), op) !=
               window.ops.end();
    }
    long long countInStart(std::size_t from) const { return window.timeOf("caption Label1 \r\nいくよ", from); }
    // The clicks a run of `notes` at `beatMs` should sound, the count-in's first
    // at `first`.
    static std::vector<std::string> expectedClicks(int notes, long long first, int beatMs) {
        std::vector<std::string> clicks;
        for (int beat = 0; beat < 4 + notes; ++beat)
            clicks.push_back((beat % 4 == 0 ? "accent " : "beat ") + std::to_string(first + beat * beatMs));
        return clicks;
    }

    test::RecordingAudio audio;
};

TEST_F(MetronomeTest, ClicksOnEveryCountAndNoteOfTheGrid) {
    struct Tempo {
        int button;
        int beatMs;
    };
    for (const int notes : {32, 48, 320}) {
        for (const Tempo tempo : {Tempo{1, 2000}, Tempo{5, 500}, Tempo{9, 125}}) {
            SCOPED_TRACE("notes " + std::to_string(notes) + ", beat " + std::to_string(tempo.beatMs) + " ms");
            writeExercise(notes);
            state().Settings[6] = "1";
            window.drawingCost = std::chrono::microseconds(250);
            audio.clicks.clear();
            const std::size_t from = play(tempo.button);
            const long long first = countInStart(from) + 1500;
            EXPECT_EQ(audio.heard(), expectedClicks(notes, first, tempo.beatMs));
            // Each click coincides with what it marks, and was asked for ahead of it.
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(window.timeOf("caption Label1 " + std::string(text::kCounts[k]), from),
                          ms(audio.clicks[k].at));
            for (int n = 0; n < notes; n += 13) {
                // A new row's first fingering comes after the rows are switched.
                const long long late =
                    window.timeOf("show " + elementName(el::Uns_img(9 * n)), from) - ms(audio.clicks[4 + n].at);
                EXPECT_GE(late, 0) << "note " << n;
                EXPECT_LE(late, n % 16 == 0 && n > 0 ? 50 : 0) << "note " << n;
            }
            // Far enough ahead for a sound device's buffer.
            for (const auto& c : audio.clicks) EXPECT_GE(ms(c.at - c.asked), 60);
            EXPECT_TRUE(audio.stops.empty());
            EXPECT_TRUE(window.isShown(el::P5_Btn(1)));
            program.Hide_P5();
            program.Show_P4();
        }
    }
}

TEST_F(MetronomeTest, PlayingAgainClicksAsTheFirstRunDid) {
    const std::size_t from = play(5);
    const std::vector<std::string> firstRun = audio.heard();
    ASSERT_EQ(firstRun.size(), 36u);
    click(el::P5_Btn(1));
    audio.clicks.clear();
    const std::size_t again = mark();
    click(el::P6_Btn(1));  // the loaded exercise, without the tempo page
    const long long shift = countInStart(again) - countInStart(from);
    std::vector<std::string> shifted;
    for (const std::string& c : firstRun) {
        const auto space = c.find(' ');
        shifted.push_back(c.substr(0, space + 1) + std::to_string(std::stoll(c.substr(space + 1)) + shift));
    }
    EXPECT_EQ(audio.heard(), shifted);
}

TEST_F(MetronomeTest, AnUncheckedBoxGivesNoClick) {
    window.metronomeChecked = false;
    play(9);
    EXPECT_TRUE(audio.clicks.empty());
    EXPECT_TRUE(window.isShown(el::P5_Btn(1))) << "the run itself is the same";
    // Checked again, the next run clicks.
    window.metronomeChecked = true;
    program.Hide_P5();
    program.Show_P4();
    play(9);
    EXPECT_EQ(audio.clicks.size(), 36u);
}

TEST_F(MetronomeTest, TheBoxAndItsNoteComeAndGoWithTheTempoPage) {
    EXPECT_TRUE(window.isShown(el::Check2));
    EXPECT_FALSE(window.isShown(el::Lab_Oto)) << "a device was found";
    click(el::P4_BtnA);
    EXPECT_FALSE(window.isShown(el::Check2));

    audio.device = false;
    click(el::P3_Btn(1));
    EXPECT_TRUE(window.isShown(el::Check2));
    EXPECT_TRUE(window.isShown(el::Lab_Oto));
    EXPECT_EQ(element(el::Lab_Oto).initialCaption, "音を出せる装置が見つかりません");
    const std::size_t from = play(9);
    EXPECT_FALSE(window.isShown(el::Check2));
    EXPECT_FALSE(window.isShown(el::Lab_Oto));
    EXPECT_TRUE(window.messages().empty()) << "no message box, the run goes on";
    EXPECT_TRUE(has(from, "show P5_Btn1"));
}

TEST_F(MetronomeTest, CancelDuringTheNotesSilencesAtOnce) {
    writeExercise(48);
    state().Settings[6] = "1";
    long long cancelMs = -1;
    window.onPump = [&](int) {
        if (cancelMs < 0 && window.firstPumpSince("show " + elementName(el::Uns_img(9 * 20 + 8)))) {
            cancelMs = window.nowMs();
            click(el::Cancel_img);
        }
    };
    const std::size_t from = play(5);
    ASSERT_GE(cancelMs, 0);
    ASSERT_EQ(audio.stops.size(), 1u);
    EXPECT_EQ(ms(audio.stops[0]), cancelMs);
    const std::vector<std::string> heard = audio.heard();
    ASSERT_EQ(heard.size(), 4u + 21u) << "the count-in and notes 0 to 20";
    EXPECT_EQ(heard.back(), "accent " + std::to_string(countInStart(from) + 1500 + 24 * 500));
    for (const auto& c : audio.clicks) EXPECT_LE(ms(c.asked), cancelMs) << "nothing asked for after the cancel";
}

TEST_F(MetronomeTest, CancelDuringTheCountInSilencesAtOnce) {
    const std::size_t from = mark();
    window.onPump = [&](int) {
        if (window.ops[window.ops.size() - 2] == "caption Label1 \r\n　 ３") click(el::Cancel_img);
    };
    click(el::P4_Btn(3));
    const long long first = countInStart(from) + 1500;
    EXPECT_EQ(audio.heard(),
              (std::vector<std::string>{"accent " + std::to_string(first), "beat " + std::to_string(first + 1000)}));
    ASSERT_EQ(audio.stops.size(), 1u);
    EXPECT_EQ(ms(audio.stops[0]), first + 1000);
}

// The player closes the window in the middle of a run: by the window's close
// request, or with the window simply gone at the next pump.
TEST_F(MetronomeTest, ClosingTheWindowSilencesAtOnce) {
    for (const bool throughUnload : {true, false}) {
        SCOPED_TRACE(throughUnload ? "close request" : "window gone");
        test::RecordingWindow w;
        test::RecordingAudio a(w);
        Program p(w, files);
        p.setAudioOutput(a);
        ASSERT_TRUE(p.Form_Load());
        for (const ElementId id : {el::P1_Btn1, el::P2_Btn1, el::P3_Btn(1)}) p.click(id);
        long long closedMs = -1;
        w.onPump = [&](int pump) {
            if (pump != 20) return;
            closedMs = w.nowMs();
            if (throughUnload) {
                int cancel = 0;
                p.Form_Unload(cancel);
            } else {
                w.closeNow();
            }
        };
        p.click(el::P4_Btn(5));
        ASSERT_GE(closedMs, 0);
        ASSERT_FALSE(a.stops.empty());
        EXPECT_EQ(ms(a.stops[0]), closedMs);
        EXPECT_GT(a.clicks.size(), 4u);
        for (const auto& c : a.clicks) {
            EXPECT_LE(ms(c.asked), closedMs);
            if (c.heard) {
                EXPECT_LE(ms(c.at), closedMs);
            }
        }
        EXPECT_FALSE(w.isShown(el::P5_Btn(1)));
    }
}

}  // namespace
}  // namespace tarvel
