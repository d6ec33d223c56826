// The practice run: loading, the run screen, the count-in, the rolling rows of
// notes, the end, cancel, bad exercises and missing pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "data/data_paths.h"
#include "support/program_fixture.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

class RunTest : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        writeExercise("#1", scaleNotes(32));
        start();
        click(el::P1_Btn1);
        click(el::P2_Btn1);
        click(el::P3_Btn(1));  // S01
    }
    void writeExercise(const std::string& keyLine, const std::vector<std::string>& notes) {
        data.writeLines(exercisePath("Boe", "BB", "S01"), exerciseLines(keyLine, notes));
    }
    // Clicks a tempo button (5 is 120 beats a minute, 500 ms a beat).
    std::size_t play(int button = 5) {
        const std::size_t from = mark();
        click(el::P4_Btn(button));
        return from;
    }
    std::size_t indexOf(const std::string& op, std::size_t from = 0) const {
        const auto it = std::find(window.ops.begin() + static_cast<std::ptrdiff_t>(from), window.ops.end(), op);
        return static_cast<std::size_t>(it - window.ops.begin());
    }
    bool has(const std::string& op, std::size_t from = 0) const { return indexOf(op, from) < window.ops.size(); }
    // Run time from the start of the count-in to page 5.
    long long runMs(std::size_t from) const {
        const std::size_t countIn = indexOf("caption Label1 \r\nいくよ", from);
        return window.timeOf("show P5_Btn1", from) - window.times[countIn];
    }
    std::vector<std::string> slotOps(std::size_t from) const {
        std::vector<std::string> ops;
        for (std::size_t i = from; i < window.ops.size(); ++i) {
            const std::string& op = window.ops[i];
            if (op.find(" onp_img(") != std::string::npos || op.find(" Uns_img(") != std::string::npos)
                if (op.rfind("show", 0) == 0 || op.rfind("hide", 0) == 0) ops.push_back(op);
        }
        return ops;
    }
};

std::vector<std::string> rollingDisplay(int count) {
    std::vector<std::string> ops;
    auto each = [&](const char* op, ElementId first, ElementId last) {
        for (ElementId id = first; id <= last; ++id) ops.push_back(std::string(op) + " " + elementName(id));
    };
    auto fingers = [&](const char* op, int note) { each(op, el::Uns_img(9 * note), el::Uns_img(9 * note + 8)); };
    auto hideRow = [&](int first) {
        each("hide", el::onp_img(first), el::onp_img(first + 15));
        for (int n = first; n < first + 16; ++n) fingers("hide", n);
    };
    each("show", el::onp_img(0), el::onp_img(31));
    for (int n = 0; n < 16; ++n) fingers("show", n);
    for (int p = 0; p <= count / 16 - 3; ++p) {
        hideRow(16 * p);
        each("show", el::onp_img(16 * p + 32), el::onp_img(16 * p + 47));
        for (int n = 16 * p + 16; n < 16 * p + 32; ++n) fingers("show", n);
    }
    hideRow(count - 32);
    for (int n = count - 16; n < count; ++n) fingers("show", n);
    hideRow(count - 16);
    return ops;
}

TEST_F(RunTest, TimelineAndRollingDisplayForTwoToTwentyRows) {
    for (const int count : {32, 48, 320}) {
        writeExercise("#1", scaleNotes(count));
        state().Settings[6] = "1";
        const std::size_t from = play();
        EXPECT_EQ(runMs(from), 3500 + (count + 4) * 500) << count;
        EXPECT_EQ(slotOps(from), rollingDisplay(count)) << count;
        EXPECT_EQ(state().Onp_cnt, count);
        EXPECT_TRUE(window.isShown(el::P5_Btn(4)));
        EXPECT_EQ(window.caption(el::Label1), "\r\n　　　　　どうだった？");
        program.Hide_P5();
        program.Show_P4();
    }
}

TEST_F(RunTest, PacingAbsorbsTheTimeSpentDrawing) {
    window.drawingCost = std::chrono::microseconds(300);  // 2880 finger shows alone would add almost a second
    writeExercise("#1", scaleNotes(320));
    const std::size_t from = play(9);  // 480 beats a minute
    // Op times are whole milliseconds: where the drawing before the count-in
    // ends decides whether the cut falls one millisecond apart.
    EXPECT_NEAR(static_cast<double>(runMs(from)), 3500 + 324 * 125, 1.0);
    // Every note's fingering appears on its beat of the grid.
    const std::size_t countIn = indexOf("caption Label1 \r\nいくよ", from);
    const long long start = window.times[countIn];
    for (int n = 0; n < 320; n += 37) {
        const long long shown = window.timeOf("show " + elementName(el::Uns_img(9 * n)), from);
        EXPECT_NEAR(static_cast<double>(shown - start), 1500.0 + (4 + n) * 125, 3.0) << n;
    }
}

TEST_F(RunTest, RunScreenAndCountInStepByStep) {
    writeExercise("#2", scaleNotes(32));
    const std::size_t from = play(3);  // 60: 1000 ms a beat
    const std::size_t screen = indexOf("picture Gosen_img1 system\\hyouji\\5line.gif", from);
    const std::vector<std::string> expected{
        "picture Gosen_img1 system\\hyouji\\5line.gif",
        "show Gosen_img1",
        "picture Gosen_img2 system\\hyouji\\5line.gif",
        "show Gosen_img2",
        "picture Choshi(0) system\\hyouji\\choshi\\3322222.gif",
        "show Choshi(0)",
        "picture Choshi(1) system\\hyouji\\choshi\\3322222.gif",
        "show Choshi(1)",
        "picture Cancel_img system\\hyouji\\button\\cancel.gif",
        "show Cancel_img",
        "caption Where_run_lbl ベーム式・B♭管\r\nト長調・♩=60",
        "show Where_run_lbl",
        "caption Label1 ",
    };
    ASSERT_LT(screen + expected.size(), window.ops.size());
    EXPECT_EQ(std::vector<std::string>(window.ops.begin() + screen, window.ops.begin() + screen + expected.size()),
              expected);
    const std::size_t countIn = indexOf("font Label1 name=MS UI Gothic", screen);
    const std::vector<std::string> count{
        "font Label1 name=MS UI Gothic",
        "font Label1 size=136",
        "caption Label1 \r\nいくよ",
        "pump",
        "sleep 1500",
        "font Label1 name=MS UI Gothic",
        "font Label1 size=136",
        "caption Label1 \r\n　 ４",
        "pump",
        "sleep 1000",
        "caption Label1 \r\n　 ３",
        "pump",
        "sleep 1000",
        "caption Label1 \r\n　 ２",
        "pump",
        "sleep 1000",
        "caption Label1 \r\n　 １",
        "pump",
        "sleep 1000",
        "font Label1 size=32",
    };
    EXPECT_EQ(std::vector<std::string>(window.ops.begin() + countIn, window.ops.begin() + countIn + count.size()),
              count);
    EXPECT_EQ(indexOf("show " + elementName(el::onp_img(31)), screen) + 1, countIn)
        << "two rows stand before the count";
    // The last count stays on the label through the notes; the end replaces it.
    const std::size_t end = indexOf("caption Label1 \r\n　　　　　　　終了", countIn);
    EXPECT_EQ(window.opsStartingWith("caption Label1", countIn + count.size()).front(), window.ops[end]);
    const std::vector<std::string> closing{"hide Gosen_img1",
                                           "hide Gosen_img2",
                                           "hide Choshi(0)",
                                           "hide Choshi(1)",
                                           "hide Cancel_img",
                                           "hide Where_run_lbl",
                                           "pump",
                                           "caption Label1 \r\n　　　　　　　終了",
                                           "pump",
                                           "sleep 1500",
                                           "caption Label1 ",
                                           "show Help_Btn"};
    EXPECT_EQ(std::vector<std::string>(window.ops.begin() + end - 7, window.ops.begin() + end + 5), closing);
}

TEST_F(RunTest, LoadingShowsItsCaptionsAndThePictures) {
    data.writeLines("system\\unshi\\boe.txt", std::vector<std::string>(501, "a|cdef|hijk"));
    click(el::P4_BtnA);
    click(el::P3_BtnB);
    click(el::P1_Btn1);
    click(el::P2_Btn1);
    click(el::P3_Btn(1));
    const std::size_t from = play();
    // After hiding page 4: the font, the caption, and the pump that shows it.
    // The "？" goes before it: there is no help during a run.
    const std::size_t loading = indexOf("caption Label1 \r\n　　ロード中。。。", from);
    ASSERT_LT(loading, window.ops.size());
    EXPECT_EQ(window.ops[loading - 2], "font Label1 name=MS UI Gothic");
    EXPECT_EQ(window.ops[loading - 1], "font Label1 size=32");
    EXPECT_EQ(window.ops[loading + 1], "pump");
    EXPECT_EQ(window.opsStartingWith("hide P4_BtnA", from).size(), 1u) << "page 4 went first";
    EXPECT_LT(indexOf("hide P4_BtnA", from), loading);
    EXPECT_LT(indexOf("hide Help_Btn", from), loading);
    // The scale from 2c: note 0 is c4 natural, in G major without a sign.
    EXPECT_EQ(window.picture(el::onp_img(0)), "system\\Linehyouji\\215.gif");
    EXPECT_EQ(window.picture(el::onp_img(3)), "system\\Linehyouji\\202.gif") << "f natural in G major";
    const std::size_t fingers = indexOf("caption Label1 \r\n　　ロード中。。。。。。。", from);
    EXPECT_GT(fingers, indexOf("picture onp_img(31) system\\Linehyouji\\315.gif", from));
    EXPECT_LT(fingers, window.ops.size());
    EXPECT_EQ(window.ops[fingers + 1], "pump");
    // Note 2 fills fingering slots 18 to 26, one picture per finger from the chart line.
    const char* names[] = {"L1a", "L2c", "L3d", "L4e", "L5f", "R2h", "R3i", "R4j", "R5k"};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(window.picture(el::Uns_img(18 + k)), std::string("system\\unshi\\Boe\\") + names[k] + ".gif");
    EXPECT_EQ(window.picture(el::onp_img(32)), "") << "slots beyond the exercise are not touched";
}

// On every beat, in the instant its row diagram shows and before the window
// paints: the note's mark (the previous one goes), its diagram large and the
// names of the keys it presses, from pictures all read before the count-in.
TEST_F(RunTest, EveryBeatMarksItsNoteAndShowsItsFingeringLarge) {
    std::vector<std::string> chart(501, "1|1110|1110");
    chart[100] = "1|111C|0000";  // C4: the left little finger's C#/G# key
    chart[120] = "X|XXXX|XXXX";  // D4: not on this instrument
    chart[140] = "";             // E4: no line
    chart[190] = "0|A000|111E";  // A4: the A key and the right little finger's E/B key
    data.writeLines("system\\unshi\\boe.txt", chart);
    writeExercise("#1", scaleNotes(48));
    click(el::P4_BtnA);
    click(el::P3_BtnB);
    click(el::P1_Btn1);
    click(el::P2_Btn1);
    click(el::P3_Btn(1));
    const std::size_t from = play();
    const std::size_t countIn = indexOf("caption Label1 \r\nいくよ", from);
    const std::map<int, std::string> keys{{0, "押すキー\r\n左小指 Ｃ♯／Ｇ♯キー"},
                                          {1, "この楽器では\r\n吹けない音"},
                                          {2, ""},
                                          {3, "押すキーなし"},
                                          {5, "押すキー\r\n左人さし指 Ａキー\r\n右小指 Ｅ／Ｂキー"}};
    for (int n = 0; n < 48; ++n) {
        SCOPED_TRACE("note " + std::to_string(n));
        const std::size_t diagram = indexOf("show " + elementName(el::Uns_img(9 * n + 8)), from);
        const std::size_t pump = indexOf("pump", diagram);
        ASSERT_LT(pump, window.ops.size());
        const std::vector<std::string> beat(window.ops.begin() + static_cast<std::ptrdiff_t>(diagram) + 1,
                                            window.ops.begin() + static_cast<std::ptrdiff_t>(pump));
        const std::string notePicture = window.opsStartingWith("picture " + elementName(el::onp_img(n)), from).at(0);
        const std::string position = notePicture.substr(notePicture.size() - 7, 2);  // octave and letter
        const std::string mark = elementName(el::Now_mark(n % 32));
        const std::string line = chart[static_cast<std::size_t>(n % 8 == 0   ? 100
                                                                : n % 8 == 1 ? 120
                                                                : n % 8 == 2 ? 140
                                                                : n % 8 == 5 ? 190
                                                                             : 0)];
        std::vector<std::string> expected;
        if (n % 16 > 0)
            expected.push_back("hide " + elementName(el::Now_mark((n - 1) % 32)));  // else gone with its row
        expected.push_back("picture " + mark + " system\\hyouji\\now\\" + position + ".gif");
        expected.push_back("show " + mark);
        for (int k = 0; k < 9; ++k)
            expected.push_back(
                "picture " + elementName(el::Big_finger(k)) + " " +
                bigFingerPicture("Boe", kFingerPositions[k].prefix,
                                 fingerCode(n % 8 < 3 || n % 8 == 5 ? line : "1|1110|1110", kFingerPositions[k])));
        const auto named = keys.find(n % 8);
        expected.push_back("caption Big_keys " + (named != keys.end() ? named->second : std::string("押すキーなし")));
        if (n == 0) {
            for (int k = 0; k < 9; ++k) expected.push_back("show " + elementName(el::Big_finger(k)));
            expected.push_back("show Big_keys");
        }
        EXPECT_EQ(beat, expected);
        EXPECT_EQ(window.times[pump], window.times[diagram]) << "one instant";
        for (const std::string& op : beat) {
            if (op.rfind("picture", 0) != 0) continue;
            EXPECT_LT(indexOf(op.substr(0, op.find('(')) + "(0)" + op.substr(op.find(')') + 1), from), countIn)
                << op << ": read before the count-in";
        }
    }
    for (ElementId id = el::Now_mark(0); id <= el::Big_keys; ++id) EXPECT_FALSE(window.isShown(id)) << elementName(id);
    EXPECT_TRUE(window.isShown(el::P5_Btn(1)));
}

TEST_F(RunTest, ShortAndLongChartLines) {
    std::vector<std::string> chart(501, "");
    chart[100] = "1|1110|1110xyz";  // 2c, variant 0
    data.writeLines("system\\unshi\\boe.txt", chart);
    click(el::P4_BtnA);
    click(el::P3_BtnB);
    click(el::P1_Btn1);
    click(el::P2_Btn1);
    click(el::P3_Btn(1));
    play();
    EXPECT_EQ(window.picture(el::Uns_img(8)), "system\\unshi\\Boe\\R5z.gif") << "right hand 5 is the last character";
    EXPECT_EQ(window.picture(el::Uns_img(9)), "system\\unshi\\Boe\\L1.gif") << "an empty line names bare prefixes";
    EXPECT_EQ(window.picture(el::Uns_img(17)), "system\\unshi\\Boe\\R5.gif");
    ASSERT_EQ(window.messages().size(), 1u);
    const std::string said = window.messages()[0];
    EXPECT_NE(said.find("に要る 121、141、151、171、191 行目ほか 2 行がないか空です"), std::string::npos) << said;
}

TEST_F(RunTest, PlayingAgainReusesTheLoadedExercise) {
    play();
    program.Hide_P5();
    program.Show_P6();
    const std::size_t again = mark();
    click(el::P6_Btn(1));
    EXPECT_FALSE(has("caption Label1 \r\n　　ロード中。。。", again));
    EXPECT_TRUE(window.opsStartingWith("picture onp_img", again).empty());
    EXPECT_TRUE(window.opsStartingWith("picture Uns_img", again).empty());
    const auto pictures = window.opsStartingWith("picture", again);
    EXPECT_EQ(std::count_if(pictures.begin(), pictures.end(),
                            [](const std::string& op) {
                                return op.find("Now_mark") == std::string::npos &&
                                       op.find("Big_finger") == std::string::npos;
                            }),
              5)
        << "the run screen is loaded afresh; the mark and the large diagram change on every beat";
    EXPECT_EQ(runMs(again), 3500 + 36 * 500);
    // Another tempo through page 6 needs no reload either, but its own beat.
    program.Hide_P5();
    program.Show_P6();
    click(el::P6_Btn(2));
    const std::size_t slower = play(2);  // 42: 1429 ms
    EXPECT_TRUE(window.opsStartingWith("picture onp_img", slower).empty());
    EXPECT_EQ(runMs(slower), 3500 + 36 * 1429);
}

TEST_F(RunTest, CheckBoxShowsTheKeyInTheNotes) {
    window.checked = true;
    writeExercise("#2", std::vector<std::string>(32, "2f#0"));
    play();
    EXPECT_EQ(window.picture(el::Choshi(0)), "system\\hyouji\\choshi\\2222222.gif");
    EXPECT_EQ(window.picture(el::onp_img(0)), "system\\Linehyouji\\203.gif");
}

// Cancel ------------------------------------------------------------------

// Besides a close, the run's pauses hear the cancel picture, and Escape
// stands for it, only while it shows: not while loading, nor in "終了" or
// "結果" once it has gone. A cancel heard there would write over the tempo page.
TEST_F(RunTest, ThePausesAndEscapeHearTheCancelPictureOnlyWhileItShows) {
    std::vector<std::optional<ElementId>> escapeAtPump;
    window.onPump = [&](int) { escapeAtPump.push_back(program.keyPressed(KeyInput::Escape)); };
    play();
    window.onPump = nullptr;
    std::vector<std::string> expected(1 + 4 + 32 + 1, "Cancel_img");  // count-in, counts, beats, closing pause
    expected.push_back("");                                           // "終了"
    EXPECT_EQ(window.sleepsHeard, expected);
    ASSERT_EQ(escapeAtPump.size(), 2u + 5 + 32 + 1 + 2);
    EXPECT_EQ(escapeAtPump.front(), std::nullopt) << "loading";
    EXPECT_EQ(escapeAtPump[2], el::Cancel_img) << "いくよ";
    EXPECT_EQ(escapeAtPump[2 + 5 + 31], el::Cancel_img) << "the last beat";
    EXPECT_EQ(escapeAtPump.back(), std::nullopt) << "終了";
    click(el::P5_Btn(1));
    EXPECT_EQ(window.sleepsHeard.back(), "") << "結果";
}

TEST_F(RunTest, CancelDuringTheCountInEndsTheRunAtOnce) {
    const std::size_t from = mark();
    const int countInPump = 3;  // two loading pumps, then "いくよ"
    window.onPump = [&](int) {
        if (window.opsStartingWith("pump", from).size() == countInPump) click(el::Cancel_img);
    };
    click(el::P4_Btn(5));
    const std::size_t cancel = indexOf("hide onp_img(0)", indexOf("caption Label1 \r\nいくよ", from));
    ASSERT_LT(cancel, window.ops.size());
    const std::vector<std::string> after(window.ops.begin() + cancel, window.ops.end());
    EXPECT_EQ(after.back(), "show Lab_Mic") << "the tempo page (to its note that there is no microphone) is the last "
                                               "thing shown";
    EXPECT_EQ(window.opsStartingWith("caption Label1", cancel).back(), "caption Label1 \r\n　　　テンポをえらんでね")
        << "nothing is written over the tempo page";
    EXPECT_TRUE(
        std::none_of(after.begin(), after.end(), [](const std::string& op) { return op.rfind("sleep", 0) == 0; }));
    EXPECT_EQ(state().Cancel_flg, 0);
    EXPECT_EQ(state().Settings[6], "1");
    EXPECT_EQ(state().Play_cnt, 0);
    EXPECT_TRUE(window.isShown(el::P4_Btn(1)));
    for (const ElementId id : {el::Gosen_img1, el::Gosen_img2, el::Choshi(0), el::Choshi(1), el::Cancel_img,
                               el::onp_img(0), el::onp_img(319), el::Uns_img(0), el::Uns_img(2879)})
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
}

TEST_F(RunTest, CancelAtAMiddleBeatStopsBeforeTheNextNote) {
    writeExercise("#1", scaleNotes(48));
    const std::size_t from = mark();
    window.onPump = [&](int) {
        if (window.firstPumpSince("show " + elementName(el::Uns_img(9 * 20 + 8)))) click(el::Cancel_img);
    };
    click(el::P4_Btn(5));
    EXPECT_FALSE(has("show " + elementName(el::Uns_img(9 * 21)), from));
    EXPECT_FALSE(has("show P5_Btn1", from));
    EXPECT_EQ(state().Cancel_flg, 0);
    // The next run is not cancelled by it, and loads the exercise again.
    window.onPump = nullptr;
    const std::size_t next = play();
    EXPECT_TRUE(has("caption Label1 \r\n　　ロード中。。。", next));
    EXPECT_TRUE(has("show P5_Btn1", next));
}

TEST_F(RunTest, CancelAtTheClosingPauseShowsOnlyTheTempoPage) {
    const std::size_t from = mark();
    window.onPump = [&](int) {
        // The pump right after the last beat's sleep: the closing pause.
        const std::string last = "show " + elementName(el::Uns_img(9 * 31 + 8));
        const std::size_t beat = indexOf(last, from);
        const auto pumps =
            std::count(window.ops.begin() + static_cast<std::ptrdiff_t>(std::min(beat, window.ops.size())),
                       window.ops.end(), "pump");
        if (beat < window.ops.size() && pumps == 2 && window.ops.back() == "pump") click(el::Cancel_img);
    };
    click(el::P4_Btn(5));
    const std::size_t last = indexOf("pump", indexOf("show " + elementName(el::Uns_img(9 * 31 + 8)), from));
    EXPECT_EQ(window.ops[last + 1], "sleep 500");
    EXPECT_EQ(window.ops[last + 2], "pump");  // the closing pause, where the click lands
    EXPECT_FALSE(has("caption Label1 \r\n　　　　　　　終了", from));
    EXPECT_FALSE(has("show P5_Btn1", from));
    EXPECT_TRUE(window.isShown(el::P4_BtnA));
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね");
}

// A click on the cancel picture in the middle of a pause ends the run then,
// not at the next beat: at the count-in, a count, a beat, and the closing pause.
TEST_F(RunTest, CancelInsideAPauseEndsTheRunThere) {
    struct Case {
        const char* what;
        int tempoButton;
        std::string lastOpBeforeSleep;  // the op that precedes the pause's sleep
    };
    const std::vector<Case> cases{
        {"count-in", 1, "caption Label1 \r\nいくよ"},
        {"first count", 1, "caption Label1 \r\n　 ４"},
        {"beat of note 20", 5, "show " + elementName(el::Uns_img(9 * 20 + 8))},
        {"closing pause", 5, "show " + elementName(el::Uns_img(9 * 31 + 8))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t from = mark();
        long long cancelledAt = -1;
        int sleepsAfter = 0;
        window.onSleep = [&](Instant deadline) {
            const std::size_t at = indexOf(c.lastOpBeforeSleep, from);
            if (at >= window.ops.size() || cancelledAt >= 0) return false;
            // The closing pause is the second sleep after the last beat's fingers.
            if (std::string(c.what) == "closing pause" && ++sleepsAfter < 2) return false;
            window.advanceTo(deadline - std::chrono::milliseconds(300));
            cancelledAt = window.nowMs();
            click(el::Cancel_img);
            return true;
        };
        click(el::P4_Btn(c.tempoButton));
        window.onSleep = nullptr;
        ASSERT_GE(cancelledAt, 0);
        const std::size_t cancel = indexOf("show P4_Btn1", from);
        ASSERT_LT(cancel, window.ops.size());
        EXPECT_EQ(window.times[cancel], cancelledAt) << "the tempo page comes with the click";
        for (std::size_t i = cancel; i < window.ops.size(); ++i) {
            const std::string& op = window.ops[i];
            EXPECT_TRUE(op.rfind("sleep", 0) != 0 && op.rfind("show Uns_img", 0) != 0 &&
                        op.rfind("show onp_img", 0) != 0 && op.rfind("pump", 0) != 0)
                << "nothing of the run follows the tempo page: " << op;
        }
        EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね");
        EXPECT_EQ(window.nowMs(), cancelledAt) << "the run does not sleep on";
        EXPECT_FALSE(has("show P5_Btn1", from));
        EXPECT_EQ(state().Cancel_flg, 0);
        EXPECT_TRUE(window.isShown(el::P4_Btn(1)));
        EXPECT_FALSE(window.isShown(el::Cancel_img));
        click(el::P4_BtnA);  // back to the key page, and into the tempo page again
        click(el::P3_Btn(1));
    }
}

TEST_F(RunTest, ClosingInsideAPauseEndsTheProgramThere) {
    const std::size_t from = mark();
    window.onSleep = [&](Instant deadline) {
        if (!has("caption Label1 \r\n　 ２", from)) return false;
        window.advanceTo(deadline - std::chrono::milliseconds(100));
        int cancel = 0;
        program.Form_Unload(cancel);
        return true;
    };
    click(el::P4_Btn(1));
    EXPECT_EQ(window.ops.back(), "exit 0");
    EXPECT_TRUE(window.ended());
    EXPECT_FALSE(has("caption Label1 \r\n　 １", from));
}

TEST_F(RunTest, CancelDuringTheLoadLoadsNothingMore) {
    const std::size_t from = mark();
    window.onPump = [&](int) {
        if (window.ops[window.ops.size() - 2] == "caption Label1 \r\n　　ロード中。。。。。。。") click(el::Cancel_img);
    };
    click(el::P4_Btn(5));
    EXPECT_EQ(window.opsStartingWith("picture onp_img", from).size(), 32u);
    EXPECT_TRUE(window.opsStartingWith("picture Uns_img", from).empty());
    EXPECT_TRUE(window.opsStartingWith("picture Gosen", from).empty());
    EXPECT_EQ(state().Onp_cnt, 32);
    EXPECT_EQ(state().Cancel_flg, 0);
    EXPECT_EQ(state().Settings[6], "1");
}

TEST_F(RunTest, NoRunStartsInsideARun) {
    const std::size_t from = mark();
    window.onPump = [&](int) {
        if (window.opsStartingWith("pump", from).size() == 4) {
            click(el::Cancel_img);
            click(el::P4_Btn(1));  // queued in the same pump, now over a tempo button
            click(el::P6_Btn(1));
        }
    };
    click(el::P4_Btn(5));
    EXPECT_EQ(window.opsStartingWith("caption Label1 \r\n　　ロード中。。。", from).size(), 2u) << "one load only";
    EXPECT_EQ(state().Settings[4], "120");
    window.onPump = nullptr;
    play(1);
    EXPECT_EQ(state().Settings[4], "30") << "once the run has ended, a tempo button works again";
}

TEST_F(RunTest, ClosingTheWindowEndsTheRun) {
    const std::size_t from = mark();
    window.onPump = [&](int) {
        if (window.opsStartingWith("pump", from).size() == 10) {
            int cancel = 0;
            program.Form_Unload(cancel);
        }
    };
    click(el::P4_Btn(5));
    EXPECT_EQ(window.ops.back(), "exit 0");
    EXPECT_FALSE(has("show P5_Btn1", from));
    const std::size_t after = mark();
    click(el::P4_Btn(5));
    EXPECT_EQ(mark(), after);
}

// Bad exercises and missing pictures ------------------------------------------------

TEST_F(RunTest, BadExercisesGiveOneMessageAndChangeNothing) {
    play();  // a good load first
    const KeySignature keys = state().Choshi_tbl;
    std::vector<std::string> tooMany = exerciseLines("#1", scaleNotes(321));
    std::vector<std::string> noEnd = exerciseLines("#1", scaleNotes(32));
    noEnd.pop_back();
    std::vector<std::string> lowNote = exerciseLines("#1", scaleNotes(32));
    lowNote[4] = "1cn0";
    const struct {
        const char* what;
        std::vector<std::string> lines;
        const char* where;
    } cases[] = {
        {"no end line", noEnd, "の 33 行目"},
        {"short key line", exerciseLines("#", scaleNotes(32)), "の 1 行目"},
        {"key count not a number", exerciseLines("#a", scaleNotes(32)), "の 1 行目"},
        {"octave not a digit", exerciseLines("#1", {"2cn0", "xcn0"}), "の 3 行目"},
        {"octave zero", exerciseLines("#1", {"0cn0"}), "の 2 行目"},
        {"variant not a digit", exerciseLines("#1", {"2cnq"}), "の 2 行目"},
        {"too many notes", tooMany, "の 322 行目"},
        {"too few notes", exerciseLines("#1", scaleNotes(16)), "の 18 行目"},
        {"not whole rows", exerciseLines("#1", scaleNotes(40)), "の 42 行目"},
        {"chart line below the chart", lowNote, "の 5 行目"},
    };
    for (const auto& c : cases) {
        writeExercise("#1", {});
        data.writeLines(exercisePath("Boe", "BB", "S01"), c.lines);
        state().Settings[6] = "1";
        program.Hide_P5();
        program.Show_P4();
        const std::size_t from = play();
        const auto messages = window.opsStartingWith("message", from);
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_NE(messages[0].find(data.path(exercisePath("Boe", "BB", "S01")).string() + " " + std::string(c.where)),
                  std::string::npos)
            << c.what << ": " << messages[0];
        EXPECT_TRUE(window.opsStartingWith("picture", from).empty()) << c.what;
        EXPECT_FALSE(has("caption Label1 \r\nいくよ", from)) << c.what;
        EXPECT_TRUE(window.isShown(el::P4_Btn(5))) << c.what;
        EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね") << c.what;
        EXPECT_EQ(state().Settings[6], "1") << c.what;
        EXPECT_EQ(state().Onp_cnt, 32) << c.what;
        EXPECT_EQ(state().Choshi_tbl, keys) << c.what;
    }
}

TEST_F(RunTest, AMissingExerciseNamesTheFile) {
    click(el::P4_BtnA);
    click(el::P3_Btn(2));  // S02 has no file
    const std::size_t from = play();
    const auto messages = window.opsStartingWith("message", from);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(data.path(exercisePath("Boe", "BB", "S02")).string()), std::string::npos);
    EXPECT_NE(messages[0].find("見つかりません"), std::string::npos) << messages[0];
    EXPECT_TRUE(window.isShown(el::P4_Btn(1)));
}

TEST_F(RunTest, MissingNoteAndFingerPicturesLeaveTheirPlacesEmpty) {
    window.missingPictures = {"system\\Linehyouji\\215.gif", "system\\unshi\\Boe\\R41.gif"};
    const std::size_t from = play();
    const auto messages = window.opsStartingWith("message", from);
    ASSERT_EQ(messages.size(), 1u) << "one message for every missing picture";
    EXPECT_NE(messages[0].find(data.path("system\\Linehyouji\\215.gif").string()), std::string::npos);
    EXPECT_NE(messages[0].find(data.path("system\\unshi\\Boe\\R41.gif").string()), std::string::npos);
    EXPECT_EQ(window.picture(el::onp_img(0)), "");
    EXPECT_TRUE(has("show P5_Btn1", from)) << "the run goes on";
}

TEST_F(RunTest, WithoutItsStaffOrCancelPictureTheRunDoesNotStart) {
    for (const char* missing :
         {"system\\hyouji\\5line.gif", "system\\hyouji\\choshi\\3222222.gif", "system\\hyouji\\button\\cancel.gif"}) {
        window.missingPictures = {missing};
        state().Settings[6] = "1";
        const std::size_t from = play();
        const auto messages = window.opsStartingWith("message", from);
        ASSERT_EQ(messages.size(), 1u) << missing;
        EXPECT_NE(messages[0].find(data.path(missing).string()), std::string::npos);
        EXPECT_FALSE(has("caption Label1 \r\nいくよ", from)) << missing;
        EXPECT_TRUE(window.isShown(el::P4_Btn(5))) << missing;
        EXPECT_FALSE(window.isShown(el::Gosen_img1)) << missing;
        EXPECT_FALSE(window.isShown(el::Cancel_img)) << missing;
    }
}

}  // namespace
}  // namespace tarvel
