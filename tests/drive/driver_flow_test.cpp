// Whole flows through tarvel-drive on the real program and the built data set:
// the pages, a run with its timeline, cancel and close inside it, grading and
// the record it leaves, and start-up with a broken data set.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/driver_run.h"
#include "ui/elements.h"

namespace tarvel {
namespace {

using test::BuiltDataSet;
using test::linesStartingWith;
using test::runDriver;
using test::traceTime;

const std::string kInitialRecord = "まだ吹いてない";

std::string findLine(const std::vector<std::string>& lines, const std::string& part, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(part) != std::string::npos) return lines[i];
    return {};
}

// The last line of a dump that starts with `prefix` (trace lines start with "t=").
std::string dumpLine(const std::vector<std::string>& lines, const std::string& prefix) {
    const auto found = linesStartingWith(lines, prefix);
    return found.empty() ? std::string() : found.back();
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& part, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(part) != std::string::npos) return i;
    return lines.size();
}

// The element names of a dump, without their details, up to the state line.
std::vector<std::string> dumpedNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (line.rfind("state ", 0) == 0) break;
        if (line.rfind("t=", 0) == 0 || line.rfind("message ", 0) == 0) continue;
        names.push_back(line.substr(0, line.find(' ')));
    }
    return names;
}

TEST(DriverFlow, TheKeyPageAfterChoosingBoehmAndABFlatPart) {
    BuiltDataSet data;
    const auto run = runDriver(data, "", "click P1_Btn1\nclick P2_Btn1\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    // Exactly the key page, in stacking order from the top, over the message label.
    std::vector<std::string> expected;
    for (const ElementId id : stackingOrderFromTop()) {
        const bool keyPage = id == el::Check1 || id == el::P3_BtnA || id == el::P3_BtnB || id == el::P3_BtnC ||
                             (id >= el::P3_Btn(0) && id <= el::Lab_S1(28)) || id == el::Label1 || id == el::Where_lbl ||
                             id == el::Key_frm(0) || id == el::Help_Btn;
        if (keyPage) expected.push_back(elementName(id));
    }
    EXPECT_EQ(dumpedNames(run.lines), expected);
    EXPECT_EQ(findLine(run.lines, "P3_Btn12 "), "P3_Btn12 picture=system\\hyouji\\button\\B_CF05.gif");
    EXPECT_EQ(linesStartingWith(run.lines, "Lab_S1(").size(), 29u);
    for (const std::string& label : linesStartingWith(run.lines, "Lab_S1("))
        EXPECT_NE(label.find("caption=\"" + kInitialRecord + "\""), std::string::npos) << label;
    EXPECT_EQ(findLine(run.lines, "Label1 "),
              "Label1 font=\"MS UI Gothic\" size=32 caption=\"\\r\\n　　　　調子をえらんでね\"");
    EXPECT_EQ(findLine(run.lines, "Check1 "), "Check1 checked=0");
    EXPECT_EQ(findLine(run.lines, "state ")
                  .rfind(R"(state Settings=["","Boe","BB","","","",""] Play_cnt=0 Onp_cnt=0 Cancel_flg=0)", 0),
              0u);
}

TEST(DriverFlow, ClicksOnHiddenElementsDoNothing) {
    BuiltDataSet data;
    const auto run =
        runDriver(data, "", "dump\nclick P4_Btn1\nclick P2_Btn1\nclick Cancel_img\nclick onp_img(3)\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto states = linesStartingWith(run.lines, "state ");
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0], states[1]);
    EXPECT_EQ(dumpedNames(run.lines), (std::vector<std::string>{"About_Btn", "Help_Btn", "P1_Btn1", "P1_Btn2",
                                                                "P1_Btn3", "title_img", "Label1"}));
}

TEST(DriverFlow, ARunFromTheTempoClickToPage5) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--trace", "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\nclick P4_Btn5\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::size_t countIn = indexOf(run.lines, "caption Label1 \"\\r\\nいくよ\"");
    const std::size_t page5 = indexOf(run.lines, "show P5_Btn1");
    ASSERT_LT(page5, run.lines.size());
    const std::string state = findLine(run.lines, "state ");
    const int notes = std::stoi(state.substr(state.find("Onp_cnt=") + 8));
    EXPECT_GE(notes, 48);
    EXPECT_EQ(traceTime(run.lines[page5]) - traceTime(run.lines[countIn]), 3500 + (notes + 4) * 500);
    // The exercise's key signature: E major, four sharps.
    EXPECT_NE(findLine(run.lines, "picture Choshi(0) "), "");
    EXPECT_EQ(
        findLine(run.lines, "picture Choshi(0) ").substr(findLine(run.lines, "picture Choshi(0) ").find(" system")),
        " system\\hyouji\\choshi\\3333222.gif");
    EXPECT_TRUE(linesStartingWith(run.lines, "message").empty());
    EXPECT_TRUE(findLine(run.lines, " message ").empty()) << "every picture of the run exists";
    EXPECT_EQ(dumpLine(run.lines, "Label1 "),
              "Label1 font=\"MS UI Gothic\" size=32 caption=\"\\r\\n　　　　　どうだった？\"");
}

TEST(DriverFlow, TimelinesOfTwoAndTwentyRows) {
    for (const int count : {32, 320}) {
        BuiltDataSet data;
        std::string exercise = "#0\r\n";
        for (int n = 0; n < count; ++n) exercise += std::string(n % 2 ? "2dn0" : "2cn0") + "\r\n";
        data.write("system\\onkai\\Oeh\\BC\\000.txt", exercise + "\r\n");
        const auto run = runDriver(data, "--trace", "click P1_Btn2\nclick P2_Btn2\nclick P3_Btn0\nclick P4_Btn9\n");
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::size_t countIn = indexOf(run.lines, "caption Label1 \"\\r\\nいくよ\"");
        const std::size_t page5 = indexOf(run.lines, "show P5_Btn1");
        ASSERT_LT(page5, run.lines.size()) << count;
        EXPECT_EQ(traceTime(run.lines[page5]) - traceTime(run.lines[countIn]), 3500 + (count + 4) * 125) << count;
        int shows = 0, hides = 0;
        for (std::size_t i = countIn; i < page5; ++i) {
            shows += run.lines[i].find(" show onp_img(") != std::string::npos;
            hides += run.lines[i].find(" hide onp_img(") != std::string::npos;
        }
        EXPECT_EQ(shows, count - 32) << "rows 2 and on are shown in the run, rows 0 and 1 before it";
        EXPECT_EQ(hides, count) << "every row is hidden once";
        const std::size_t tempoClick = indexOf(run.lines, "ロード中");
        EXPECT_EQ(findLine(run.lines, "onp_img(" + std::to_string(count) + ")", tempoClick), "")
            << "no slot beyond the exercise";
        EXPECT_EQ(findLine(run.lines, "Uns_img(" + std::to_string(9 * count) + ")", tempoClick), "");
    }
}

TEST(DriverFlow, TheGradeOfEveryTempoAndAnswer) {
    BuiltDataSet data;
    // Per tempo: "0" at counter 1, 2 and 3 with the again button, then "1", "2"
    // and "3"; the other-tempo button leads to the next tempo.
    std::string script = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn8\n";
    for (int tempo = 1; tempo <= 9; ++tempo) {
        script += "click P4_Btn" + std::to_string(tempo) + "\nclick P5_Btn1\n";
        for (const int answer : {1, 1, 2, 3, 4})
            script += "click P6_Btn1\nclick P5_Btn" + std::to_string(answer) + "\n";
        script += "click P6_Btn2\n";
    }
    // A cancelled run brings back the tempo page, and the count starts afresh.
    script +=
        "click P4_Btn3\nclick P5_Btn1\nclick P6_Btn1\nclick P5_Btn1\nclick P6_Btn2\n"
        "after 2500 click Cancel_img\nclick P4_Btn3\nclick P4_Btn3\nclick P5_Btn1\n";
    const auto run = runDriver(data, "--trace --today 2010-08-28", script);
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<std::string> grades;
    for (std::size_t i = 0; i < run.lines.size(); ++i)
        if (run.lines[i].find("caption Label1 \"\\r\\n結果\"") != std::string::npos) {
            const std::string next = findLine(run.lines, " caption Label1 ", i + 1);
            grades.push_back(next.substr(next.find("\\n") + 2, next.size() - next.find("\\n") - 3));
        }
    const std::vector<std::string> expected{
        "Ｆ",   "Ｅ",     "Ｄ",     "Ｇ",     "Ｈ",   "Ｉ", "Ｅ",     "Ｄ",   "Ｃ",     "Ｆ",   "Ｇ", "Ｉ",
        "Ｄ",   "Ｃ",     "Ｂ",     "Ｅ",     "Ｆ",   "Ｉ", "Ｃ",     "Ｂ",   "Ａ",     "Ｄ",   "Ｅ", "Ｉ",
        "Ｂ",   "Ａ",     "ＡＡ",   "Ｃ",     "Ｄ",   "Ｉ", "Ａ",     "ＡＡ", "ＡＡＡ", "Ｂ",   "Ｃ", "Ｉ",
        "ＡＡ", "ＡＡＡ", "Ｓ",     "Ａ",     "Ｂ",   "Ｉ", "ＡＡＡ", "Ｓ",   "ＳＳ",   "ＡＡ", "Ａ", "Ｉ",
        "Ｓ",   "ＳＳ",   "ＳＳＳ", "ＡＡＡ", "ＡＡ", "Ｉ", "Ｄ",     "Ｃ",   "Ｄ",
    };
    EXPECT_EQ(grades, expected);
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\F01\\"), std::vector<std::string>{"2010.08.28 Ｄ"});
}

TEST(DriverFlow, CancelBringsBackTheTempoPageAndWritesNothingAfter) {
    BuiltDataSet data;
    const auto run =
        runDriver(data, "--trace",
                  "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\nafter 4000 click Cancel_img\nclick P4_Btn5\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::size_t cancel = indexOf(run.lines, "hide onp_img(0)", indexOf(run.lines, "いくよ"));
    ASSERT_LT(cancel, run.lines.size());
    EXPECT_LE(traceTime(run.lines[cancel]) - traceTime(findLine(run.lines, "いくよ")), 4500);
    std::vector<std::string> captions;
    for (std::size_t i = cancel; i < run.lines.size(); ++i)
        if (run.lines[i].find(" caption Label1 ") != std::string::npos)
            captions.push_back(run.lines[i].substr(run.lines[i].find("caption")));
    EXPECT_EQ(captions, std::vector<std::string>{"caption Label1 \"\\r\\n　　　テンポをえらんでね\""});
    EXPECT_EQ(findLine(run.lines, "show P5_Btn1"), "");
    EXPECT_NE(findLine(run.lines, "state ").find("\"1\"] Play_cnt=0"), std::string::npos);
    EXPECT_NE(findLine(run.lines, "state ").find("Cancel_flg=0"), std::string::npos);
    EXPECT_NE(findLine(run.lines, "P4_Btn9 picture="), "");
}

TEST(DriverFlow, ClosingDuringARunEndsAtOnceAndLeavesTheRecord) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--trace",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\nafter 9000 close\nclick P4_Btn5\ndump\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    ASSERT_FALSE(run.lines.empty());
    EXPECT_NE(run.lines.back().find(" exit 0"), std::string::npos) << run.lines.back();
    EXPECT_LE(traceTime(run.lines.back()) - traceTime(findLine(run.lines, "いくよ")), 9500);
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S04\\"), std::vector<std::string>{kInitialRecord});
}

TEST(DriverFlow, AGradedRunIsRecordedAndShownOnTheKeyPage) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--trace --today 2010-08-28",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn3\nclick P4_Btn5\nclick P5_Btn1\ndump\n"
                               "click P6_Btn3\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S03\\"), std::vector<std::string>{"2010.08.28 Ｂ"});
    EXPECT_NE(findLine(run.lines, " rename \"system\\\\onkai\\\\Boe\\\\BB\\\\S03\\\\\""), "");
    const std::string result = findLine(run.lines, "caption Label1 \"\\r\\n結果\"");
    const std::string grade = findLine(run.lines, "caption Label1 \"\\r\\nＢ\"");
    EXPECT_EQ(traceTime(grade) - traceTime(result), 1500);
    EXPECT_NE(dumpLine(run.lines, "Lab_S1(3) ").find("caption=\"2010.08.28 Ｂ\""), std::string::npos);
    EXPECT_NE(dumpLine(run.lines, "Lab_S1(2) ").find(kInitialRecord), std::string::npos);
    // Another system and part keep their own records.
    EXPECT_EQ(data.names("system\\onkai\\Oeh\\BB\\S03\\"), std::vector<std::string>{kInitialRecord});
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BC\\S03\\"), std::vector<std::string>{kInitialRecord});
}

TEST(DriverFlow, RepeatCounterAcrossPage6) {
    BuiltDataSet data;
    // At 60: "0" four times with the again button gives D, C, B, D; then another
    // tempo (120) starts counting afresh: B.
    const auto run =
        runDriver(data, "--today 2010-08-28",
                  "click P1_Btn2\nclick P2_Btn3\nclick P3_Btn15\nclick P4_Btn3\nclick P5_Btn1\ndump\n"
                  "click P6_Btn1\nclick P5_Btn1\ndump\nclick P6_Btn1\nclick P5_Btn1\ndump\n"
                  "click P6_Btn1\nclick P5_Btn1\ndump\nclick P6_Btn2\nclick P4_Btn5\nclick P5_Btn1\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<std::string> grades;
    for (const std::string& line : linesStartingWith(run.lines, "Label1 "))
        grades.push_back(line.substr(line.rfind("\\n") + 2));
    EXPECT_EQ(grades, (std::vector<std::string>{"Ｄ\"", "Ｃ\"", "Ｂ\"", "Ｄ\"", "Ｂ\""}));
    EXPECT_EQ(data.names("system\\onkai\\Oeh\\BA\\S08\\"), std::vector<std::string>{"2010.08.28 Ｂ"});
}

TEST(DriverFlow, ClosingDuringTheGradePauseLeavesTheRecord) {
    BuiltDataSet data;
    const auto run = runDriver(
        data, "--trace", "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\nclick P4_Btn5\nafter 0 close\nclick P5_Btn1\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(findLine(run.lines, "caption Label1 \"\\r\\n結果\""), "");
    EXPECT_EQ(findLine(run.lines, " rename "), "");
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S04\\"), std::vector<std::string>{kInitialRecord});
}

// The middle of answer button P5_Btn1, where page 6's again button P6_Btn1 stands too.
const std::string kAnswerSpot = "430 396";

TEST(DriverFlow, AClickDuringTheEndCaptionReachesNoButtonShownAfterIt) {
    BuiltDataSet data;
    const std::string toTempo = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\n";
    const auto plain = runDriver(data, "--trace", toTempo + "click P4_Btn9\n");
    ASSERT_EQ(plain.status, 0) << plain.errors;
    const long long end = traceTime(findLine(plain.lines, "終了"));
    ASSERT_GT(end, 0);
    // At 480 a minute, 0.7 s into the 1.5 s of "終了", where no button is visible.
    const auto run = runDriver(data, "--trace",
                               toTempo + "after " + std::to_string(end + 700) + " click-at " + kAnswerSpot +
                                   "\nclick P4_Btn9\nwait 3000\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(findLine(run.lines, "結果"), "") << "no answer was given";
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{kInitialRecord});
    EXPECT_NE(dumpLine(run.lines, "P5_Btn1 "), "") << "the question stands";
    EXPECT_EQ(dumpLine(run.lines, "Label1 "),
              "Label1 font=\"MS UI Gothic\" size=32 caption=\"\\r\\n　　　　　どうだった？\"");
}

TEST(DriverFlow, ASecondClickDuringTheResultPauseIsNoClickOnPage6) {
    BuiltDataSet data;
    // Two single clicks 0.7 s apart on the answer: the second falls into "結果".
    const auto run = runDriver(data, "--trace --today 2010-08-28",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn9\nafter 700 click-at " +
                                   kAnswerSpot + "\nclick P5_Btn1\nwait 3000\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(linesStartingWith(run.lines, "P6_Btn").size(), 3u) << "page 6 stands, with the grade";
    EXPECT_EQ(dumpLine(run.lines, "Label1 "), "Label1 font=\"MS UI Gothic\" size=124 caption=\"\\r\\nＳ\"");
    EXPECT_EQ(indexOf(run.lines, "いくよ", indexOf(run.lines, "結果")), run.lines.size()) << "no second run";
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{"2010.08.28 Ｓ"});
}

TEST(DriverFlow, CancelAndCloseTakeEffectInsideEveryPause) {
    BuiltDataSet data;
    const std::string toTempo = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\n";
    // At 30 a minute: 0.7 s into "いくよ", and 1 s into the first note's 2 s beat.
    for (const long long at : {700LL, 1500LL + 4 * 2000 + 1000}) {
        SCOPED_TRACE(at);
        const auto cancel =
            runDriver(data, "--trace", toTempo + "after " + std::to_string(at) + " click Cancel_img\nclick P4_Btn1\n");
        ASSERT_EQ(cancel.status, 0) << cancel.errors;
        const std::size_t tempoPage = indexOf(cancel.lines, "show P4_Btn1", indexOf(cancel.lines, "いくよ"));
        ASSERT_LT(tempoPage, cancel.lines.size());
        EXPECT_EQ(traceTime(cancel.lines[tempoPage]), at);
        EXPECT_EQ(traceTime(cancel.lines.back()), at) << "nothing is drawn after it: " << cancel.lines.back();

        const auto close =
            runDriver(data, "--trace", toTempo + "after " + std::to_string(at) + " close\nclick P4_Btn1\n");
        EXPECT_EQ(close.status, 0) << close.errors;
        ASSERT_FALSE(close.lines.empty());
        EXPECT_EQ(close.lines.back(), "t=" + std::to_string(at) + " exit 0");
    }
    // The close in "結果" ends the program before the record is written.
    const auto close = runDriver(data, "--trace", toTempo + "click P4_Btn9\nafter 700 close\nclick P5_Btn1\n");
    EXPECT_EQ(close.status, 0) << close.errors;
    EXPECT_NE(close.lines.back().find(" exit 0"), std::string::npos) << close.lines.back();
    EXPECT_EQ(traceTime(close.lines.back()) - traceTime(findLine(close.lines, "結果")), 700);
    EXPECT_EQ(findLine(close.lines, " rename "), "");
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{kInitialRecord});
}

TEST(DriverFlow, AMissingPagePictureStopsStartUpWithAMessage) {
    BuiltDataSet data;
    std::filesystem::remove(data.path("system\\hyouji\\button\\6_code.gif"));
    const auto run = runDriver(data, "--trace", "dump\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(findLine(run.lines, " message ").find(data.path("system\\hyouji\\button\\6_code.gif").string()),
              std::string::npos)
        << findLine(run.lines, " message ");
    EXPECT_EQ(findLine(run.lines, "state "), "") << "the script never runs";
    EXPECT_EQ(findLine(run.lines, " show "), "") << "nothing was shown";
}

TEST(DriverFlow, ScreenshotsOfThePages) {
    BuiltDataSet data;
    const auto shot = [&](const char* name) { return (data.root() / name).string(); };
    const auto run = runDriver(data, "",
                               std::string("shot ") + shot("p1.png") + "\nclick P1_Btn1\nshot " + shot("p2.png") +
                                   "\nclick P2_Btn1\nshot " + shot("p3.png") + "\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    for (const char* name : {"p1.png", "p2.png", "p3.png"})
        EXPECT_GT(std::filesystem::file_size(shot(name)), 1000u) << name;
}

}  // namespace
}  // namespace tarvel
