// Listening through the driver: a rendered performance as the microphone.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/driver_run.h"

namespace tarvel::test {
namespace {

std::string lineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    const auto found = linesStartingWith(lines, prefix);
    return found.empty() ? "" : found.back();
}

std::string render(const std::string& name) { return std::string(TARVEL_RENDERS) + "/" + name + ".wav"; }

TEST(ListenFlow, ThreePlantedSlipsShowOnPage5WithTheirAnswerProposed) {
    if (!std::filesystem::exists(render("three-120"))) GTEST_SKIP() << "no rendered performances in " << TARVEL_RENDERS;
    BuiltDataSet data;
    // Boehm, B-flat part, C major at 120: slips on notes 5 (a semitone), 21
    // (a twelfth) and 38 (not played), the player 60 ms late.
    const auto run = runDriver(data, "--trace --listen " + render("three-120"),
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn0\nclick Check3\nclick P4_Btn5\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string listen = lineStarting(run.lines, "Listen ");
    EXPECT_EQ(listen.substr(0, listen.find(" lag_ms=")), "Listen heard=1 slips=3 proposed=2");
    EXPECT_NE(
        listen.find(" marks=ooooox" + std::string(15, 'o') + "x" + std::string(16, 'o') + "-" + std::string(9, 'o')),
        std::string::npos)
        << listen;
    const int lag = std::stoi(listen.substr(listen.find("lag_ms=") + 7));
    EXPECT_GE(lag, 60);
    EXPECT_LE(lag, 110);
    EXPECT_EQ(
        lineStarting(run.lines, "Lab_Miss ").find("caption=\"\\r\\nミス 3 回\\r\\n　1 段目の 6 番目　ラ4　ちがう音"),
        lineStarting(run.lines, "Lab_Miss ").find("caption="));
    EXPECT_NE(lineStarting(run.lines, "Lab_Miss ").find("2 段目の 6 番目"), std::string::npos);
    EXPECT_NE(lineStarting(run.lines, "Lab_Miss ").find("3 段目の 7 番目"), std::string::npos);
    EXPECT_EQ(lineStarting(run.lines, "Lab_Teian"),
              "Lab_Teian(2) font=\"MS UI Gothic\" size=12 caption=\"↑ これかな？\"");

    // One trace line per note, all at the end of the run, before page 5.
    std::vector<std::string> heard;
    for (const std::string& line : run.lines)
        if (line.find(" heard ") != std::string::npos && line.rfind("t=", 0) == 0) heard.push_back(line);
    ASSERT_EQ(heard.size(), 48u);
    EXPECT_EQ(heard[5].substr(heard[5].find(" heard ")), " heard 5 x");
    EXPECT_EQ(heard[38].substr(heard[38].find(" heard ")), " heard 38 -");
    EXPECT_EQ(heard[0].substr(heard[0].find(" heard ")), " heard 0 o");
    EXPECT_EQ(traceTime(heard.front()), traceTime(heard.back()));
}

// Extra notes are traced where they fell and named on page 5 between their
// notes; the concert pitch chosen on the tempo page is kept for the next start.
TEST(ListenFlow, ExtraNotesAndTheConcertPitchKeptAcrossStarts) {
    if (!std::filesystem::exists(render("extra-120"))) GTEST_SKIP() << "no rendered performances in " << TARVEL_RENDERS;
    BuiltDataSet data;
    const std::string toTempo = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\n";
    const auto first = runDriver(data, "--trace --listen " + render("extra-120"),
                                 toTempo + "choose Cmb_A4 4\nclick Check3\nclick P4_Btn5\ndump\n");
    ASSERT_EQ(first.status, 0) << first.errors;
    EXPECT_EQ(lineStarting(first.lines, "Listen ").find("Listen heard=1 slips=4 proposed=2 "), 0u)
        << lineStarting(first.lines, "Listen ");
    EXPECT_NE(lineStarting(first.lines, "Listen ").find(" extra=3 room=ok a4=442"), std::string::npos);
    // Each extra note between the lines of the two notes it fell between.
    std::vector<std::string> heard;
    for (const std::string& line : first.lines)
        if (line.find(" heard ") != std::string::npos) heard.push_back(line.substr(line.find(" heard ")));
    ASSERT_EQ(heard.size(), 48u + 3);
    EXPECT_EQ(heard[6], " heard 6 o");
    EXPECT_EQ(heard[7], " heard extra");
    EXPECT_EQ(heard[8], " heard 7 o");
    const std::string slips = lineStarting(first.lines, "Lab_Miss ");
    EXPECT_NE(slips.find("　1 段目の 7 番目と次のあいだ　余分な音"), std::string::npos) << slips;
    EXPECT_NE(slips.find("3 段目の 9 番目"), std::string::npos) << slips;  // note 40, a semitone off

    const auto second = runDriver(data, "--listen " + render("extra-120"), toTempo + "dump\n");
    ASSERT_EQ(second.status, 0) << second.errors;
    EXPECT_EQ(lineStarting(second.lines, "Cmb_A4 "), "Cmb_A4 chosen=4 caption=\"442 Hz\" items=9");
}

TEST(ListenFlow, TheDriverWithoutAMicrophoneOffersNoListening) {
    BuiltDataSet data;
    const auto run = runDriver(data, "", "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn0\nclick Check3\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(lineStarting(run.lines, "Check3 "), "Check3 checked=0 enabled=0");
    EXPECT_NE(lineStarting(run.lines, "Lab_Mic ").find("マイクが見つからない"), std::string::npos);
    EXPECT_EQ(lineStarting(run.lines, "Cmb_Mic "), "");
}

TEST(ListenFlow, AFileThatCannotBeHeardIsNamed) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--listen nowhere.wav", "dump\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("nowhere.wav"), std::string::npos) << run.errors;
}

}  // namespace
}  // namespace tarvel::test
