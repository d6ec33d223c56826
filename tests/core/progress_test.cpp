// What the pages make of the history: best results, days practised, the
// chart, the table and the CSV export, as pure functions of the runs.
#include <gtest/gtest.h>

#include "history/progress.h"

namespace tarvel {
namespace {

HistoryRun run(std::string at, std::string key, std::string tempo, std::string grade, int gradeNo,
               std::string system = "Boe", std::string pairing = "BB", std::string answer = "0") {
    HistoryRun r;
    r.playedAt = std::move(at);
    r.system = std::move(system);
    r.pairing = std::move(pairing);
    r.key = std::move(key);
    r.tempo = std::move(tempo);
    r.answer = std::move(answer);
    r.grade = std::move(grade);
    r.gradeNo = gradeNo;
    return r;
}

TEST(BestPerKey, TheBestGradeStaysAndTheTempoItWasReachedAt) {
    struct Case {
        const char* what;
        std::vector<HistoryRun> runs;
        std::optional<std::string> badge;  // of key S01
    };
    const std::vector<Case> cases{
        {"never graded", {}, std::nullopt},
        {"a worse run after a better one",
         {run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11), run("2026-12-07 10:05:00", "S01", "120", "Ｂ", 8)},
         "ＡＡＡ ♩340"},
        {"a better run after",
         {run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11), run("2026-12-07 10:05:00", "S01", "340", "Ｓ", 12)},
         "Ｓ ♩340"},
        {"the same grade at a faster tempo",
         {run("2026-12-07 10:00:00", "S01", "170", "ＡＡＡ", 11),
          run("2026-12-07 10:05:00", "S01", "340", "ＡＡＡ", 11)},
         "ＡＡＡ ♩340"},
        {"the same grade at a slower tempo",
         {run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11),
          run("2026-12-07 10:05:00", "S01", "170", "ＡＡＡ", 11)},
         "ＡＡＡ ♩340"},
        {"other keys, systems and pairings do not count",
         {run("2026-12-07 10:00:00", "S02", "480", "ＳＳＳ", 14),
          run("2026-12-07 10:00:00", "S01", "480", "ＳＳＳ", 14, "Oeh"),
          run("2026-12-07 10:00:00", "S01", "480", "ＳＳＳ", 14, "Boe", "BC"),
          run("2026-12-07 10:00:00", "S01", "30", "Ｆ", 4)},
         "Ｆ ♩30"},
    };
    for (const Case& c : cases) {
        const auto best = bestPerKey(c.runs, "Boe", "BB");
        const auto& s01 = best[1];
        EXPECT_EQ(s01.has_value(), c.badge.has_value()) << c.what;
        if (s01 && c.badge) {
            EXPECT_EQ(badgeText(*s01), *c.badge) << c.what;
        }
        for (std::size_t k = 3; k < best.size(); ++k) EXPECT_FALSE(best[k]) << c.what << " key " << k;
    }
}

TEST(DaysPractised, ThisWeekFromMondayAndThisMonth) {
    // Wednesday 9 December 2026.
    const CalendarDate today{2026, 12, 9};
    const std::vector<HistoryRun> runs{
        run("2026-11-30 20:00:00", "000", "60", "Ｄ", 6),  // Monday a week before
        run("2026-12-01 08:00:00", "000", "60", "Ｄ", 6),
        run("2026-12-06 08:00:00", "000", "60", "Ｄ", 6),               // Sunday: last week
        run("2026-12-07 08:00:00", "000", "60", "Ｄ", 6),               // Monday
        run("2026-12-07 21:00:00", "S01", "60", "Ｄ", 6, "Oeh", "BA"),  // the same day again
        run("2026-12-09 07:00:00", "000", "60", "Ｄ", 6),
        run("2026-12-10 07:00:00", "000", "60", "Ｄ", 6),  // tomorrow: a clock set wrong
        run("garbage", "000", "60", "Ｄ", 6),
    };
    const PractiseDays days = daysPractised(runs, today);
    EXPECT_EQ(days.week, 2);   // 12-07, 12-09
    EXPECT_EQ(days.month, 4);  // 12-01, 12-06, 12-07, 12-09
    // On Sunday the week began on the Monday before, in the month before.
    const PractiseDays sunday = daysPractised(runs, {2026, 12, 6});
    EXPECT_EQ(sunday.week, 3);   // 11-30, 12-01, 12-06
    EXPECT_EQ(sunday.month, 2);  // 12-01, 12-06
    EXPECT_EQ(daysPractised({}, today).week, 0);
}

TEST(GradeChart, OneLinePerTempoFromTheSlowestForTheChosenKey) {
    const std::vector<HistoryRun> runs{
        run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11),
        run("2026-12-07 10:01:00", "S01", "60", "Ｄ", 6),
        run("2026-12-07 10:02:00", "S02", "60", "Ｄ", 6),
        run("2026-12-08 10:03:00", "S01", "340", "Ｓ", 12),
    };
    const ChartData chart = gradeChart(runs, "S01");
    EXPECT_EQ(chart.key, "S01");
    ASSERT_EQ(chart.lines.size(), 2u);
    EXPECT_EQ(chart.lines[0].tempo, "60");
    EXPECT_EQ(chart.lines[1].tempo, "340");
    ASSERT_EQ(chart.lines[1].points.size(), 2u);
    EXPECT_EQ(chart.lines[1].points[1].time, "2026-12-08 10:03:00");
    EXPECT_EQ(chart.lines[1].points[1].grade, 12);
    EXPECT_TRUE(gradeChart(runs, "F14").lines.empty());
}

TEST(GradeChart, OnePointADayAtEachTempoTheDaysBestWhenFirstReached) {
    struct Case {
        const char* what;
        std::vector<HistoryRun> runs;
        std::vector<ChartPoint> points;  // of the one line
    };
    const std::vector<Case> cases{
        {"a better run later that day",
         {run("2026-12-07 10:00:00", "S01", "340", "Ｂ", 8), run("2026-12-07 11:00:00", "S01", "340", "ＡＡ", 10)},
         {{"2026-12-07 11:00:00", 10}}},
        {"a worse or equal run later that day",
         {run("2026-12-07 10:00:00", "S01", "340", "ＡＡ", 10), run("2026-12-07 11:00:00", "S01", "340", "Ｂ", 8),
          run("2026-12-07 12:00:00", "S01", "340", "ＡＡ", 10)},
         {{"2026-12-07 10:00:00", 10}}},
        {"days in date order, a clock set back",
         {run("2026-12-09 10:00:00", "S01", "340", "Ｂ", 8), run("2026-12-07 10:00:00", "S01", "340", "Ｃ", 7)},
         {{"2026-12-07 10:00:00", 7}, {"2026-12-09 10:00:00", 8}}},
    };
    for (const Case& c : cases) {
        const ChartData chart = gradeChart(c.runs, "S01");
        ASSERT_EQ(chart.lines.size(), 1u) << c.what;
        EXPECT_EQ(chart.lines[0].points, c.points) << c.what;
    }
}

TEST(ProgressPage, PreselectedKeyAndTheLastRuns) {
    const std::vector<HistoryRun> runs{run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11),
                                       run("2026-12-07 10:01:00", "F03", "60", "Ｉ", 1, "Boe", "BB", "3"),
                                       run("2026-12-07 10:02:00", "F05", "60", "Ｉ", 1, "Oeh")};
    const ProgressSummary summary = progressSummary(runs, "Boe", "BB", {2026, 12, 7}, 1);
    ASSERT_EQ(summary.lastRuns, std::vector<HistoryRun>{runs[1]}) << "newest first, of Boehm and B flat only";
    EXPECT_EQ(summary.runsPerKey[1] + summary.runsPerKey[10] + summary.runsPerKey[12], 2);
    EXPECT_EQ(summary.runsPerKey[10], 1);
    EXPECT_EQ(summary.days.week, 1);
    EXPECT_EQ(preselectedKey(summary.lastRuns, "S05"), 10) << "the key played last (F03), not the key chosen last";
    EXPECT_EQ(preselectedKey({}, "S05"), 5) << "nothing played yet: the key chosen last";
    EXPECT_EQ(preselectedKey({}, ""), 0);
    EXPECT_EQ(firstDayCounted({2026, 12, 6}), "2026-11-30") << "Monday, in the month before";
    EXPECT_EQ(firstDayCounted({2026, 12, 9}), "2026-12-01");

    const TableData table = lastRunsTable(summary.lastRuns);
    EXPECT_EQ(table.header, (std::vector<std::string>{"日時", "調", "テンポ", "答え", "成績", "聞き取りミス"}));
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0],
              (std::vector<std::string>{"2026-12-07 10:01", "変ホ長調", "♩60", "ミス6回以上", "Ｉ", ""}));
    HistoryRun drill = runs[1];
    drill.kind = std::string(kDrillRun);
    EXPECT_EQ(lastRunsTable({drill}).rows[0][1], "ドリル（変ホ長調）") << "a drill is no run of its key";
}

TEST(Csv, HeaderRowsQuotingTheHeardSlipsAndTheKind) {
    std::vector<HistoryRun> runs{run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11),
                                 run("2026-12-07 10:01:00", "000", "60", "Ｉ", 1, "Oeh", "BA", "say \"no\", twice"),
                                 run("2026-12-07 10:02:00", "F01", "30", "Ｉ", 1, "Oeh", "BC", "0"),
                                 run("2026-12-07 10:03:00", "F01", "30", "Ｉ", 1, "Xyz", "QQ", "0")};
    runs[0].heardSlips = 2;
    runs[2].kind = kDrillRun;
    const std::string csv = csvText(runs);
    // Systems and parts as the pages name them; a code the program does not
    // know stays as it was kept.
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "日時,運指,楽譜,調コード,調,テンポ,答え,成績,成績番号,聞き取りミス,種類\r\n"
              "2026-12-07 10:00:00,ベーム式,B♭管,S01,ト長調,340,ミスなし,ＡＡＡ,11,2,調の練習\r\n"
              "2026-12-07 10:01:00,エーラー式,A管,000,ハ長調,60,\"say \"\"no\"\", twice\",Ｉ,1,,調の練習\r\n"
              "2026-12-07 10:02:00,エーラー式,C管,F01,ヘ長調,30,ミスなし,Ｉ,1,,苦手ドリル\r\n"
              "2026-12-07 10:03:00,Xyz,QQ,F01,ヘ長調,30,ミスなし,Ｉ,1,,調の練習\r\n");
    EXPECT_EQ(csvText({}), "\xEF\xBB\xBF日時,運指,楽譜,調コード,調,テンポ,答え,成績,成績番号,聞き取りミス,種類\r\n");
    EXPECT_EQ(exportFileName({2026, 12, 7}), "tarvel-history-2026-12-07.csv");
    EXPECT_EQ(playedAtText({2026, 1, 2}, 3, 4, 5), "2026-01-02 03:04:05");
}

TEST(Csv, TheNotesFileOneRowAHeardNoteBesideTheRunsFile) {
    std::vector<HistoryRun> runs{run("2026-12-07 10:00:00", "S01", "340", "ＡＡＡ", 11),
                                 run("2026-12-07 10:01:00", "000", "60", "Ｉ", 1),
                                 run("2026-12-07 10:02:00", "F01", "30", "Ｉ", 1, "Oeh", "BC")};
    runs[0].notes = {HeardNote{0, 303, 17, 'o', false, 12.25}, HeardNote{1, 312, 18, 'x', true, std::nullopt},
                     HeardNote{2, 441, 120, '-', false, std::nullopt}, HeardNote{3, 312, 18, 'o', false, -0.04}};
    runs[2].kind = kDrillRun;
    runs[2].notes = {HeardNote{15, 204, 3, 'o', false, -25.0}};
    EXPECT_EQ(notesCsvText(runs),
              "\xEF\xBB\xBF"
              "日時,運指,楽譜,調,テンポ,種類,何番目,音,運指表の行,判定,余分な音,セント\r\n"
              "2026-12-07 10:00:00,ベーム式,B♭管,ト長調,340,調の練習,1,ファ♯5,17,合っていた,,12.2\r\n"
              "2026-12-07 10:00:00,ベーム式,B♭管,ト長調,340,調の練習,2,ド5,18,ちがう音,余分な音,\r\n"
              "2026-12-07 10:00:00,ベーム式,B♭管,ト長調,340,調の練習,3,ラ♭6,120,聞こえない,,\r\n"
              "2026-12-07 10:00:00,ベーム式,B♭管,ト長調,340,調の練習,4,ド5,18,合っていた,,0.0\r\n"
              "2026-12-07 10:02:00,エーラー式,C管,ヘ長調,30,苦手ドリル,16,ファ♯♯4,3,合っていた,,-25.0\r\n")
        << "a run not listened to has no rows";
    EXPECT_EQ(notesExportFileName({2026, 12, 7}), "tarvel-history-2026-12-07-notes.csv");
    EXPECT_EQ(notesExportFileName({2026, 12, 7}, 2), "tarvel-history-2026-12-07-2-notes.csv")
        << "the pair shares its number";
}

}  // namespace
}  // namespace tarvel
