// What teaches at a glance, through tarvel-drive on the real window: the
// run's mark and large diagram on every beat, help over a page and back, and
// the progress page from the keyboard alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/driver_run.h"
#include "ui/elements.h"

namespace tarvel {
namespace {

using test::BuiltDataSet;
using test::linesStartingWith;
using test::runDriver;
using test::traceTime;

// Every beat sets the mark and all nine layers of the large diagram in the
// same tick as the row diagram, before the window's pump.
TEST(TeachingFlow, EveryBeatSetsTheMarkAndTheLargeDiagramWithTheRowDiagram) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--trace",
                               "key 1\nkey 1\nkey Right\nkey Right\nkey Right\nkey Right\n"
                               "key Return\nkey 5\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    int beats = 0;
    for (std::size_t i = 0; i < run.lines.size(); ++i) {
        if (run.lines[i].find(" show Uns_img(") == std::string::npos || run.lines[i].find(")") == std::string::npos ||
            (i + 1 < run.lines.size() && run.lines[i + 1].find(" show Uns_img(") != std::string::npos))
            continue;  // the last of the nine layers of a beat
        ++beats;
        const long long t = traceTime(run.lines[i]);
        int marks = 0, layers = 0;
        std::size_t j = i + 1;
        for (; j < run.lines.size() && run.lines[j].find(" pump") == std::string::npos; ++j) {
            EXPECT_EQ(traceTime(run.lines[j]), t) << run.lines[j];
            marks += run.lines[j].find(" picture Now_mark(") != std::string::npos;
            layers += run.lines[j].find(" picture Big_finger(") != std::string::npos;
        }
        EXPECT_EQ(marks, 1) << "beat at t=" << t;
        EXPECT_EQ(layers, 9) << "beat at t=" << t;
        ASSERT_LT(j, run.lines.size());
        EXPECT_EQ(traceTime(run.lines[j]), t) << "the window paints them together";
    }
    EXPECT_EQ(beats, 48) << "E major: three rows";
    // E major on Boehm, B flat part: the run begins on E3 with a little finger's E/B lever or key.
    EXPECT_FALSE(linesStartingWith(run.lines, "t=").empty());
    bool named = false;
    for (const std::string& line : run.lines)
        named = named || line.find("caption Big_keys \"押すキー\\r\\n") != std::string::npos;
    EXPECT_TRUE(named);
}

// F1 lays the help page over the key page; Escape goes back to exactly that
// page with its frame where it was.
TEST(TeachingFlow, F1ShowsTheHelpAndEscapeGoesBackToTheSamePageAndFrame) {
    BuiltDataSet data;
    const auto run = runDriver(data, "", "key 1\nkey 1\nkey Right\nkey Down\ndump\nkey F1\ndump\nkey Escape\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<std::vector<std::string>> dumps(1);
    for (const std::string& line : run.lines) {
        dumps.back().push_back(line);
        if (line.rfind("state ", 0) == 0) dumps.emplace_back();
    }
    ASSERT_EQ(dumps.size(), 4u);
    const std::vector<std::string> help = linesStartingWith(dumps[1], "Help_");
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help.front(), "Help_BtnA picture=system\\hyouji\\button\\help_modoru.gif");
    EXPECT_FALSE(linesStartingWith(dumps[1], "Help_Keys ").empty());
    EXPECT_NE(linesStartingWith(dumps[1], "Help_Keys ").at(0).find("キー（調をえらぶページ）"), std::string::npos);
    EXPECT_EQ(dumps[2], dumps[0]) << "the same page, the same frame (Key_frm(8)), nothing else";
    EXPECT_FALSE(linesStartingWith(dumps[0], "Key_frm(8)").empty());
}

// 記録 by R, the key list by the arrows, the CSV by C, and back by Backspace.
TEST(TeachingFlow, TheProgressPageAndItsCsvByKeysAlone) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--today 2026-12-07",
                               "key 1\nkey 1\nkey Right\nkey Return\nkey 9\nkey 1\nkey K\nkey R\nkey Down\ndump\n"
                               "key C\nkey Backspace\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(linesStartingWith(run.lines, "P7_Key ").at(0), "P7_Key chosen=2 caption=\"ニ長調\" items=29")
        << "opened on the key played last (ト長調), then one down";
    EXPECT_TRUE(std::filesystem::exists(data.root() / "tarvel-history-2026-12-07.csv"));
    const auto states = linesStartingWith(run.lines, "state ");
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(linesStartingWith(run.lines, "P7_").size(), 9u) << "only the first dump shows the progress page";
    EXPECT_EQ(linesStartingWith(run.lines, "P3_BtnC ").size(), 1u) << "back on the key page";
}

}  // namespace
}  // namespace tarvel
