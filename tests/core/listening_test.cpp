// Listening through the program: the tempo page's box and input list, the
// level indicator of the count-in, page 5's slips and proposal, and that
// nothing heard outlives an answer, a cancel or a close.
#include <gtest/gtest.h>

#include <functional>

#include "data/data_paths.h"
#include "support/program_fixture.h"
#include "support/recording_audio.h"
#include "support/scripted_input.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

constexpr double kCountInMs = 1500;
constexpr double kBeatMs = 500;  // P4_Btn5, 120 a minute

class ListeningTest : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        data.writeLines(exercisePath("Boe", "BB", "S01"), exerciseLines("#1", scaleNotes(32)));
        program.setAudioInput(input);
        start();
        click(el::P1_Btn1);
        click(el::P2_Btn1);
        click(el::P3_Btn(1));
    }
    static int sounding(int n) { return test::scaleSounding(n); }
    void player(std::function<double(int)> played) {
        input.signal = test::scalePlayer(std::move(played), kCountInMs, kBeatMs);
    }
    void playRun() { click(el::P4_Btn(5)); }

    test::ScriptedInput input;
};

TEST_F(ListeningTest, TheTempoPageOffersTheBoxAndTheInputs) {
    EXPECT_TRUE(window.isShown(el::Check3));
    EXPECT_TRUE(window.isEnabled(el::Check3));
    EXPECT_FALSE(window.isChecked(el::Check3));
    EXPECT_TRUE(window.isShown(el::Cmb_Mic));
    EXPECT_FALSE(window.isShown(el::Lab_Mic));
    EXPECT_EQ(window.opsStartingWith("choices Cmb_Mic"), std::vector<std::string>{"choices Cmb_Mic 1 chosen=0"});
    EXPECT_EQ(window.choicesOf[el::Cmb_Mic], std::vector<std::string>{"USB マイク"});
    click(el::P4_BtnA);  // back to the key page: the listening elements go with the tempo page
    EXPECT_FALSE(window.isShown(el::Check3));
    EXPECT_FALSE(window.isShown(el::Cmb_Mic));
}

TEST_F(ListeningTest, WithoutAnyInputTheBoxCannotBeCheckedAndThePageSaysWhy) {
    input.names.clear();
    click(el::P4_BtnA);
    click(el::P3_Btn(1));
    EXPECT_TRUE(window.isShown(el::Check3));
    EXPECT_FALSE(window.isEnabled(el::Check3));
    EXPECT_FALSE(window.isShown(el::Cmb_Mic));
    EXPECT_TRUE(window.isShown(el::Lab_Mic));
    EXPECT_NE(window.caption(el::Lab_Mic).find("マイクが見つからない"), std::string::npos);
    window.listenChecked = true;  // even if a stale state said otherwise, nothing is heard
    playRun();
    EXPECT_EQ(input.starts, 0);
    EXPECT_FALSE(program.heardRun().has_value());
}

TEST_F(ListeningTest, TheBoxUncheckedHearsNothing) {
    player([](int n) { return sounding(n); });
    playRun();
    EXPECT_EQ(input.starts, 0);
    EXPECT_FALSE(program.heardRun().has_value());
    EXPECT_TRUE(window.isShown(el::P5_Btn(1)));
    EXPECT_FALSE(window.isShown(el::Lab_Miss));
}

TEST_F(ListeningTest, SlipsAreCountedNamedAndTheAnswerProposed) {
    window.listenChecked = true;
    player([](int n) -> double {
        if (n == 5) return sounding(n) + 1;  // row 1, place 6, written A4: a semitone sharp
        if (n == 20) return 0;               // row 2, place 5, written G4: not played
        return sounding(n);
    });
    const std::size_t from = mark();
    playRun();
    ASSERT_EQ(input.starts, 1);
    EXPECT_EQ(input.startedAt.count(), window.timeOf("caption Label1 \r\nいくよ", from) * 1000);
    EXPECT_FALSE(input.running);
    ASSERT_TRUE(program.heardRun().has_value());
    const Judgement& j = *program.heardRun();
    EXPECT_EQ(j.slips, 2);
    EXPECT_EQ(j.markText(), "ooooox" + std::string(14, 'o') + "-" + std::string(11, 'o'));
    EXPECT_TRUE(window.isShown(el::P5_Btn(1)));
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　　　どうだった？");  // page 5 as ever
    EXPECT_TRUE(window.isShown(el::Lab_Miss));
    EXPECT_EQ(window.caption(el::Lab_Miss),
              "\r\nミス 2 回\r\n　1 段目の 6 番目　ラ4　ちがう音\r\n　2 段目の 5 番目　ソ4　聞こえない"
              "\r\n（部屋はとても静か・出だし 拍より 72 ms 遅め）");  // the player is 60 ms late
    for (int k = 0; k < 4; ++k) EXPECT_EQ(window.isShown(el::Lab_Teian(k)), k == 1) << k;
    EXPECT_EQ(window.caption(el::Lab_Teian(1)), "↑ これかな？");

    // The player still answers; the grade is the answer's, and what was heard goes.
    click(el::P5_Btn(1));
    EXPECT_EQ(state().Settings[5], "0");
    EXPECT_FALSE(window.isShown(el::Lab_Miss));
    EXPECT_FALSE(window.isShown(el::Lab_Teian(1)));
    EXPECT_FALSE(program.heardRun().has_value());
    EXPECT_EQ(data.names(Result_dir("Boe", "BB", "S01")).size(), 1u);  // only the record, nothing heard
}

TEST_F(ListeningTest, AnInputThatStartsLateKeepsTheBeatsInPlace) {
    // 150 ms before the first sample arrives, and a player 60 ms late: had the
    // samples been counted from the first one delivered, the player would seem
    // 210 ms early and every note wrong.
    input.startDelayMs = 150;
    window.listenChecked = true;
    player([](int n) { return sounding(n); });
    playRun();
    ASSERT_TRUE(program.heardRun().has_value());
    EXPECT_EQ(program.heardRun()->markText(), std::string(32, 'o'));
    EXPECT_NEAR(program.heardRun()->lagMs, 60, 40);
}

TEST_F(ListeningTest, TheMetronomeClicksOncePerCountAndBeatWhileListening) {
    // The count-in's pauses are waited out in slices for the level meter; the
    // clicks stay one per pause, on the grid.
    test::RecordingAudio audio(window);
    program.setAudioOutput(audio);
    window.listenChecked = true;
    player([](int n) { return sounding(n); });
    const std::size_t from = mark();
    playRun();
    const long long countIn = window.timeOf("caption Label1 \r\nいくよ", from);
    const auto heard = audio.heard();
    ASSERT_EQ(heard.size(), 4u + 32u);
    EXPECT_EQ(heard[0], "accent " + std::to_string(countIn + 1500));
    EXPECT_EQ(heard[4], "accent " + std::to_string(countIn + 1500 + 4 * 500));
    EXPECT_EQ(heard.back(), "beat " + std::to_string(countIn + 1500 + 35 * 500));
    EXPECT_EQ(program.heardRun()->slips, 0);
}

TEST_F(ListeningTest, TheProposalFollowsTheCount) {
    window.listenChecked = true;
    const struct {
        std::set<int> wrong;
        int mark;
    } cases[] = {{{}, 0},
                 {{3}, 1},
                 {{3, 9}, 1},
                 {{1, 9, 17, 25, 30}, 2},
                 {{0, 4, 8, 12, 16, 20}, 3},
                 {{0, 2, 4, 6, 8, 10, 12, 14, 16, 18}, 3}};
    for (const auto& c : cases) {
        player([&c](int n) { return c.wrong.count(n) ? sounding(n) + 3 : sounding(n); });
        playRun();
        ASSERT_TRUE(program.heardRun().has_value());
        EXPECT_EQ(program.heardRun()->slips, static_cast<int>(c.wrong.size()));
        for (int k = 0; k < 4; ++k) EXPECT_EQ(window.isShown(el::Lab_Teian(k)), k == c.mark) << c.wrong.size();
        const std::string said = window.caption(el::Lab_Miss);
        EXPECT_EQ(said.rfind("\r\nミス " + std::to_string(c.wrong.size()) + " 回", 0), 0u);
        // The label holds 12 lines, the last two kept for how it was heard
        // (it may wrap): eight slips, or seven and how many more.
        int lines = 1;
        for (std::size_t at = said.find("\r\n"); at != std::string::npos; at = said.find("\r\n", at + 2)) ++lines;
        EXPECT_LE(lines, 11) << said;
        click(el::P5_Btn(2));
        click(el::P6_Btn(2));  // another tempo: back to the tempo page
    }
}

// Page 5 proposes nothing when nothing was heard, or when the room was too
// loud to judge (a hum as loud as the playing all through the run); it says which.
TEST_F(ListeningTest, NothingHeardOrTooNoisyAProposalIsNotMade) {
    struct Case {
        const char* what;
        std::function<float(double)> signal;
        bool heard;
        const char* says;
    };
    const std::vector<Case> cases{
        {"silence", [](double) { return 0.0f; }, false, "音が聞こえませんでした"},
        {"a loud hum under every note",
         [](double ms) {
             const double notes = ms - kCountInMs - 4 * kBeatMs;
             const int n = static_cast<int>(notes / kBeatMs);
             const float note = notes >= 0 && n < 32 ? test::tone(sounding(n), ms, 0.1f) : 0.0f;
             return note + test::tone(31.35, ms, 0.08f);  // 50 Hz, 2 dB under the notes
         },
         true, "部屋の音が大きすぎて、聞き分けられませんでした。"},
    };
    for (const Case& c : cases) {
        window.listenChecked = true;
        input.signal = c.signal;
        playRun();
        ASSERT_TRUE(program.heardRun().has_value()) << c.what;
        EXPECT_EQ(program.heardRun()->heard, c.heard) << c.what;
        EXPECT_TRUE(window.isShown(el::Lab_Miss)) << c.what;
        EXPECT_NE(window.caption(el::Lab_Miss).find(c.says), std::string::npos) << c.what;
        for (int k = 0; k < 4; ++k) EXPECT_FALSE(window.isShown(el::Lab_Teian(k))) << c.what << " " << k;
        click(el::P5_Btn(1));
        click(el::P6_Btn(2));
    }
}

TEST_F(ListeningTest, TheChosenInputIsTheOneOpened) {
    input.names = {"内蔵マイク", "USB マイク"};
    click(el::P4_BtnA);
    click(el::P3_Btn(1));
    window.choose(el::Cmb_Mic, 1);
    window.listenChecked = true;
    playRun();
    EXPECT_EQ(input.opened, 1u);
    // Back on the tempo page the choice stands, also when the list has changed.
    click(el::P5_Btn(1));
    click(el::P6_Btn(2));
    EXPECT_EQ(window.opsStartingWith("choices Cmb_Mic").back(), "choices Cmb_Mic 2 chosen=1");
    input.names = {"USB マイク", "内蔵マイク"};
    click(el::P4_BtnA);
    click(el::P3_Btn(1));
    EXPECT_EQ(window.opsStartingWith("choices Cmb_Mic").back(), "choices Cmb_Mic 2 chosen=0");
    EXPECT_EQ(window.choicesOf[el::Cmb_Mic], (std::vector<std::string>{"USB マイク", "内蔵マイク"}));
}

TEST_F(ListeningTest, AnInputThatWillNotOpenIsReportedOnPage5) {
    input.opens = false;
    window.listenChecked = true;
    playRun();
    EXPECT_TRUE(window.isShown(el::P5_Btn(1)));
    EXPECT_NE(window.caption(el::Lab_Miss).find("マイクを開けなかった"), std::string::npos);
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(window.isShown(el::Lab_Teian(k)));
}

TEST_F(ListeningTest, TheLevelIndicatorMovesDuringTheCountInOnly) {
    window.listenChecked = true;
    // A sound late in a quiet count-in (a sine of amplitude 0.05: -29 dBFS).
    input.signal = [](double ms) { return ms > 2500 ? test::tone(60, ms, 0.05f) : 0.0f; };
    const std::size_t from = mark();
    playRun();
    const auto levels = window.opsStartingWith("caption Lab_Onryo", from);
    ASSERT_GE(levels.size(), 15u);  // every 100 ms of the count-in's 3.5 s
    EXPECT_EQ(levels.front(), "caption Lab_Onryo マイク\r\n□□□□□□□□□□\r\n▦ 部屋の音");
    EXPECT_EQ(levels.back(), "caption Lab_Onryo マイク\r\n■■■■■■□□□□\r\n▦ 部屋の音");
    const auto shown =
        std::find(window.ops.begin() + static_cast<std::ptrdiff_t>(from), window.ops.end(), "show Lab_Onryo");
    const auto hidden = std::find(shown, window.ops.end(), "hide Lab_Onryo");
    const auto firstBeat = std::find(shown, window.ops.end(), "show Uns_img(0)");
    ASSERT_NE(hidden, window.ops.end());
    EXPECT_LT(hidden, firstBeat);
    EXPECT_FALSE(window.isShown(el::Lab_Onryo));

    // The same sound all through the count-in is the room's own: the bar says so.
    input.signal = [](double ms) { return test::tone(60, ms, 0.05f); };
    const std::size_t again = mark();
    click(el::P5_Btn(1));
    click(el::P6_Btn(1));
    EXPECT_EQ(window.opsStartingWith("caption Lab_Onryo", again).back(),
              "caption Lab_Onryo マイク\r\n▦▦▦▦▦▦□□□□\r\n▦ 部屋の音");
}

TEST_F(ListeningTest, CancelAndCloseDiscardWhatWasHeard) {
    window.listenChecked = true;
    player([](int n) { return sounding(n); });
    window.onPump = [&](int pump) {
        if (pump == 40) click(el::Cancel_img);
    };
    playRun();
    window.onPump = nullptr;
    EXPECT_EQ(input.starts, 1);
    EXPECT_FALSE(input.running);
    EXPECT_FALSE(program.heardRun().has_value());
    EXPECT_TRUE(window.isShown(el::P4_Btn(1)));
    EXPECT_FALSE(window.isShown(el::Lab_Onryo));
    EXPECT_FALSE(window.isShown(el::Lab_Miss));

    window.onPump = [&](int pump) {
        if (pump == 80) window.closeNow();
    };
    playRun();
    EXPECT_EQ(input.starts, 2);
    EXPECT_FALSE(input.running);
    EXPECT_FALSE(program.heardRun().has_value());
}

}  // namespace
}  // namespace tarvel
