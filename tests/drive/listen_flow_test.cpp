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
