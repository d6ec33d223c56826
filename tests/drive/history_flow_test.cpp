// The history through the real program and its real history file: a session
// of gradings and the rows it leaves, the best results on the key page, the
// progress page's chart and table as the driver reads them back, the CSV, and
// a history file that is damaged or cannot be written.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "support/driver_run.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;
using test::BuiltDataSet;
using test::linesStartingWith;
using test::runDriver;

const char* kHistory = "tarvel-history.sqlite";

// Every row of the history file, one text a row, oldest first.
std::vector<std::string> historyRows(const fs::path& file) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return {"cannot open"};
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT substr(played_at, 1, 10) || ' ' || system || ' ' || pairing || ' ' || key || ' ' || "
                       "tempo || ' ' || answer || ' ' || grade || ' ' || grade_no || ' ' || "
                       "coalesce(heard_slips, '-') FROM runs ORDER BY id",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        rows.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

std::string lastLine(const std::vector<std::string>& lines, const std::string& prefix) {
    const auto found = linesStartingWith(lines, prefix);
    return found.empty() ? std::string() : found.back();
}

// Boehm, B flat part, key S01 at 340: ＡＡＡ, again: Ｓ; another tempo, 120
// with 1-2 slips: Ｃ; then key 000 at 60: Ｄ; back to the key page.
const std::string kSession =
    "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\n"
    "click P6_Btn1\nclick P5_Btn1\n"
    "click P6_Btn2\nclick P4_Btn5\nclick P5_Btn2\n"
    "click P6_Btn3\nclick P3_Btn0\nclick P4_Btn3\nclick P5_Btn1\n"
    "click P6_Btn3\n";

TEST(HistoryFlow, ASessionOfGradingsFillsTheHistory) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--today 2026-12-07", kSession + "dump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(linesStartingWith(run.lines, "message ").empty()) << run.lines.front();
    EXPECT_EQ(historyRows(data.root() / kHistory), (std::vector<std::string>{
                                                       "2026-12-07 Boe BB S01 340 0 ＡＡＡ 11 -",
                                                       "2026-12-07 Boe BB S01 340 0 Ｓ 12 -",
                                                       "2026-12-07 Boe BB S01 120 1 Ｃ 7 -",
                                                       "2026-12-07 Boe BB 000 60 0 Ｄ 6 -",
                                                   }));
    // The records are as they always were: one file a folder, the last grade.
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{"2026.12.07 Ｃ"});
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\000\\"), std::vector<std::string>{"2026.12.07 Ｄ"});

    // The key page: the best beside the last, nothing for keys never graded.
    EXPECT_EQ(lastLine(run.lines, "Lab_S1(1) "), "Lab_S1(1) font=\"MS UI Gothic\" size=10.2 caption=\"2026.12.07 Ｃ\"");
    EXPECT_EQ(lastLine(run.lines, "Best_lbl(1) "), "Best_lbl(1) font=\"MS UI Gothic\" size=7.5 caption=\"Ｓ ♩340\"");
    EXPECT_EQ(lastLine(run.lines, "Best_lbl(0) "), "Best_lbl(0) font=\"MS UI Gothic\" size=7.5 caption=\"Ｄ ♩60\"");
    EXPECT_EQ(linesStartingWith(run.lines, "Best_lbl(").size(), 2u);
    EXPECT_EQ(lastLine(run.lines, "P3_BtnC "), "P3_BtnC picture=system\\hyouji\\button\\3_kiroku.gif");
}

TEST(HistoryFlow, AWorseRunLeavesTheBestAndOtherSystemsAndPairingsKeepTheirOwn) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--today 2026-12-07",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\n"
                               "click P6_Btn2\nclick P4_Btn5\nclick P5_Btn1\nclick P6_Btn3\ndump\n"
                               "click P3_BtnA\nclick P2_Btn2\ndump\n"
                               "click P3_BtnB\nclick P1_Btn2\nclick P2_Btn1\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto badges = linesStartingWith(run.lines, "Best_lbl(");
    ASSERT_EQ(badges.size(), 1u) << "only on Boehm with a B flat part";
    EXPECT_EQ(badges[0], "Best_lbl(1) font=\"MS UI Gothic\" size=7.5 caption=\"ＡＡＡ ♩340\"");
    const auto records = linesStartingWith(run.lines, "Lab_S1(1) ");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_NE(records[0].find("2026.12.07 Ｂ"), std::string::npos) << "the record keeps the last";
}

TEST(HistoryFlow, TheProgressPageShowsEachDaysBestAndExportsEveryRun) {
    BuiltDataSet data;
    const std::string script = "today 2026-12-01\n" + kSession +
                               "today 2026-12-07\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\n" +
                               "click P6_Btn3\nclick P3_BtnC\ndump\nchoose P7_Key 0\ndump\nclick P7_BtnB\ndump\n"
                               "click P7_BtnA\ndump\n";
    const auto run = runDriver(data, "", script);
    ASSERT_EQ(run.status, 0) << run.errors;

    const auto points = linesStartingWith(run.lines, "Point ");
    // S01: one point a day at each tempo, the day's best (ＡＡＡ then Ｓ at 340
    // on the first: Ｓ); then 000: one, before and after the export.
    ASSERT_EQ(points.size(), 3u + 1u + 1u);
    EXPECT_EQ(points[0].rfind("Point key=S01 tempo=120 date=2026-12-01T", 0), 0u) << points[0];
    EXPECT_NE(points[0].find(" grade=Ｃ"), std::string::npos) << points[0];
    EXPECT_EQ(points[1].rfind("Point key=S01 tempo=340 date=2026-12-01T", 0), 0u) << "the slower tempo's line first";
    EXPECT_NE(points[1].find(" grade=Ｓ"), std::string::npos) << points[1];
    EXPECT_EQ(points[2].rfind("Point key=S01 tempo=340 date=2026-12-07T", 0), 0u) << points[2];
    EXPECT_NE(points[2].find(" grade=ＡＡＡ"), std::string::npos) << points[2];
    EXPECT_EQ(points[3].rfind("Point key=000 tempo=60 date=2026-12-01T", 0), 0u) << points[3];
    EXPECT_NE(points[3].find(" grade=Ｄ"), std::string::npos);

    EXPECT_EQ(linesStartingWith(run.lines, "P7_Key ")[0], "P7_Key chosen=1 caption=\"ト長調（4回）\" items=29");
    EXPECT_EQ(linesStartingWith(run.lines, "P7_Key ")[1], "P7_Key chosen=0 caption=\"ハ長調（1回）\" items=29");
    const auto rows = linesStartingWith(run.lines, "Row ");
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0].rfind("Row \"2026-12-07 ", 0), 0u) << rows[0];
    EXPECT_NE(rows[0].find("\"ト長調\" \"♩340\" \"ミスなし\" \"ＡＡＡ\" \"\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[4].find("\"ト長調\" \"♩340\" \"ミスなし\" \"ＡＡＡ\""), std::string::npos) << "the oldest last";
    EXPECT_EQ(lastLine(run.lines, "P7_Days "),
              "P7_Days font=\"MS UI Gothic\" size=12 caption=\"練習した日　今週 1日　今月 2日\"");

    const fs::path csvFile = data.root() / "tarvel-history-2026-12-07.csv";
    const std::string note = lastLine(run.lines, "P7_Note ");
    EXPECT_NE(note.find(fs::canonical(csvFile).string()), std::string::npos) << note;
    std::ifstream in(csvFile, std::ios::binary);
    std::vector<std::string> csv;
    for (std::string line; std::getline(in, line);) csv.push_back(line);
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[0], "\xEF\xBB\xBF日時,運指,楽譜,調コード,調,テンポ,答え,成績,成績番号,聞き取りミス,種類\r");
    EXPECT_EQ(csv[1].substr(0, 11), "2026-12-01 ");
    EXPECT_EQ(csv[1].substr(19), ",ベーム式,B♭管,S01,ト長調,340,ミスなし,ＡＡＡ,11,,調の練習\r");
    EXPECT_EQ(csv[3].substr(19), ",ベーム式,B♭管,S01,ト長調,120,ミス1〜2回,Ｃ,7,,調の練習\r");

    // Back on the key page.
    EXPECT_EQ(lastLine(run.lines, "Best_lbl(1) "), "Best_lbl(1) font=\"MS UI Gothic\" size=7.5 caption=\"Ｓ ♩340\"");
}

// About Tarvel from the keys (F1, then A on the help), the file manager asked
// for the data folder, back to the help and page 1, and the export written
// where the save dialog says (or nowhere when cancelled).
TEST(HistoryFlow, AboutShowsTheDataFolderAndTheExportGoesWhereTheDialogSays) {
    BuiltDataSet data;
    const std::string folder = fs::canonical(data.root()).string();
    const fs::path elsewhere = data.root() / "for the teacher.csv";
    const std::string script =
        "key F1\nkey A\ndump\nclick About_BtnB\nkey Backspace\nkey Escape\ndump\n"
        "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\nclick P6_Btn3\nclick P3_BtnC\n"
        "save-cancel\nclick P7_BtnB\nsave-as " +
        elsewhere.string() + "\nclick P7_BtnB\ndump\n";
    const auto run = runDriver(data, "--today 2026-12-07", script);
    ASSERT_EQ(run.status, 0) << run.errors;

    const auto about = linesStartingWith(run.lines, "About_lbl ");
    ASSERT_EQ(about.size(), 1u) << "shown once, then gone";
    EXPECT_NE(about[0].find("\\r\\n" + folder + "\\r\\n"), std::string::npos) << about[0];
    EXPECT_NE(about[0].find("記録の履歴：まだありません"), std::string::npos) << about[0];
    EXPECT_EQ(linesStartingWith(run.lines, "open-folder "), std::vector<std::string>{"open-folder \"" + folder + "\""});
    EXPECT_EQ(linesStartingWith(run.lines, "Help_bg ").size(), 1u) << "About on the help's background, then gone";
    EXPECT_EQ(linesStartingWith(run.lines, "P1_Btn1 ").size(), 2u) << "page 1 under the help, then again";

    EXPECT_FALSE(fs::exists(data.root() / "tarvel-history-2026-12-07.csv")) << "the cancelled dialog wrote nothing";
    std::ifstream in(elsewhere, std::ios::binary);
    const std::string csv(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(csv.find(",ベーム式,B♭管,S01,ト長調,340,"), std::string::npos) << csv;
    EXPECT_NE(lastLine(run.lines, "P7_Note ").find(elsewhere.string()), std::string::npos)
        << lastLine(run.lines, "P7_Note ");
}

TEST(HistoryFlow, ADamagedHistoryIsPutAsideAndANewOneStarted) {
    BuiltDataSet data;
    std::ofstream(data.root() / kHistory) << "these are not the runs you are looking for";
    const auto run = runDriver(data, "--today 2026-12-07",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto messages = linesStartingWith(run.lines, "message ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("新しい履歴を始めました"), std::string::npos) << messages[0];
    EXPECT_EQ(historyRows(data.root() / kHistory), std::vector<std::string>{"2026-12-07 Boe BB S01 340 0 ＡＡＡ 11 -"});
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{"2026.12.07 ＡＡＡ"});
    int asides = 0;
    for (const auto& entry : fs::directory_iterator(data.root()))
        asides += entry.path().filename().string().rfind("tarvel-history-damaged-", 0) == 0;
    EXPECT_EQ(asides, 1);
}

TEST(HistoryFlow, AHistoryThatCannotBeWrittenNeverCostsTheRecordOrTheGrade) {
    BuiltDataSet data;
    fs::create_directory(data.root() / kHistory);  // in the way of the file
    const auto run = runDriver(data, "--today 2026-12-07",
                               "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\ndump\n"
                               "click P6_Btn1\nclick P5_Btn1\ndump\nclick P6_Btn3\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto messages = linesStartingWith(run.lines, "message ");
    ASSERT_EQ(messages.size(), 1u) << "said once, not at every run or page";
    EXPECT_NE(messages[0].find("tarvel-history.sqlite"), std::string::npos) << messages[0];
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01\\"), std::vector<std::string>{"2026.12.07 Ｓ"});
    const auto grades = linesStartingWith(run.lines, "Label1 ");
    ASSERT_GE(grades.size(), 2u);
    EXPECT_NE(grades[0].find("caption=\"\\r\\nＡＡＡ\""), std::string::npos) << grades[0];
    EXPECT_NE(grades[1].find("caption=\"\\r\\nＳ\""), std::string::npos) << grades[1];
    EXPECT_TRUE(linesStartingWith(run.lines, "Best_lbl(").empty());
    EXPECT_EQ(lastLine(run.lines, "Lab_S1(1) "), "Lab_S1(1) font=\"MS UI Gothic\" size=10.2 caption=\"2026.12.07 Ｓ\"");
}

TEST(HistoryFlow, TheCheckerAndTheDataSetLeaveTheHistoryAlone) {
    BuiltDataSet data;
    const auto graded = runDriver(data, "--today 2026-12-07",
                                  "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn1\nclick P4_Btn8\nclick P5_Btn1\n");
    ASSERT_EQ(graded.status, 0) << graded.errors;
    const auto checked = test::runChecker(data);
    EXPECT_EQ(checked.status, 0) << checked.errors;
    EXPECT_EQ(historyRows(data.root() / kHistory).size(), 1u);
}

}  // namespace
}  // namespace tarvel
