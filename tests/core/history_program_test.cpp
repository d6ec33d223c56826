// The history in the program: each graded run kept after its record, a
// history that fails never costing the record or the grade, the best results
// on the key page, and the progress page with its chart, table and export.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "data/data_paths.h"
#include "support/program_fixture.h"
#include "support/recording_history.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

const std::string kRecords = "system\\onkai\\Boe\\BB\\S01\\";

class HistoryInProgram : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        for (const char* key : {"000", "S01"}) {
            data.writeLines(exercisePath("Boe", "BB", key), exerciseLines("#1", scaleNotes(32)));
            data.write(Result_dir("Boe", "BB", key) + "まだです", "");
        }
        program.setHistory(history);
        start();
        toKeyPage();
    }
    // From the key page: key k, a tempo button, an answer button.
    void grade(int key, int tempoButton, int answerButton) {
        click(el::P3_Btn(key));
        click(el::P4_Btn(tempoButton));
        click(el::P5_Btn(answerButton));
    }
    std::vector<std::string> records() const { return data.names(kRecords); }

    test::RecordingHistory history;
};

TEST_F(HistoryInProgram, EachGradedRunIsKeptAfterItsRecord) {
    std::vector<std::string> recordWhenKept;
    history.onAdd = [&](const HistoryRun&) { recordWhenKept = records(); };
    grade(1, 8, 1);  // 340, no slips: ＡＡＡ
    ASSERT_EQ(history.kept.size(), 1u);
    const HistoryRun& run = history.kept[0];
    EXPECT_EQ(run.system, "Boe");
    EXPECT_EQ(run.pairing, "BB");
    EXPECT_EQ(run.key, "S01");
    EXPECT_EQ(run.tempo, "340");
    EXPECT_EQ(run.answer, "0");
    EXPECT_EQ(run.grade, "ＡＡＡ");
    EXPECT_EQ(run.gradeNo, 11);
    EXPECT_EQ(run.heardSlips, std::nullopt);
    EXPECT_EQ(run.playedAt.substr(0, 11), "2010-08-28 ");
    EXPECT_EQ(recordWhenKept, std::vector<std::string>{"2010.08.28 ＡＡＡ"}) << "the record is renamed first";

    click(el::P6_Btn(1));  // again: the second "0" gives Ｓ
    click(el::P5_Btn(1));
    ASSERT_EQ(history.kept.size(), 2u);
    EXPECT_EQ(history.kept[1].grade, "Ｓ");
}

TEST_F(HistoryInProgram, AHistoryThatCannotBeWrittenCostsNeitherTheRecordNorTheGrade) {
    history.failWrites = true;
    click(el::P3_Btn(1));
    click(el::P4_Btn(5));
    const std::size_t from = mark();
    click(el::P5_Btn(1));
    EXPECT_EQ(records(), std::vector<std::string>{"2010.08.28 Ｂ"});
    EXPECT_EQ(window.caption(el::Label1), "\r\nＢ");
    EXPECT_TRUE(window.isShown(el::P6_Btn(1)));
    const auto ops = opsSince(from);
    const auto grade = std::find(ops.begin(), ops.end(), "caption Label1 \r\nＢ");
    const auto message = std::find(ops.begin(), ops.end(), "message cannot write the history");
    ASSERT_NE(message, ops.end());
    EXPECT_LT(grade, message) << "the grade shows before anything is said about the history";
    EXPECT_EQ(window.messages().size(), 1u);
}

TEST_F(HistoryInProgram, TheKeyPageShowsEachKeysBestBesideItsRecord) {
    grade(1, 8, 1);        // S01 at 340: ＡＡＡ
    click(el::P6_Btn(2));  // another tempo
    click(el::P4_Btn(5));  // 120: Ｂ, worse
    click(el::P5_Btn(1));
    click(el::P6_Btn(3));  // back to the key page
    EXPECT_EQ(window.caption(el::Lab_S1(1)), "2010.08.28 Ｂ") << "the record is as read";
    EXPECT_TRUE(window.isShown(el::Best_lbl(1)));
    EXPECT_EQ(window.caption(el::Best_lbl(1)), "ＡＡＡ ♩340");
    for (int k = 0; k < el::keyCount; ++k) {
        if (k != 1) {
            EXPECT_FALSE(window.isShown(el::Best_lbl(k))) << "key " << k << " was never graded";
        }
    }
    EXPECT_TRUE(window.isShown(el::P3_BtnC));

    // Another pairing has its own records and its own bests.
    click(el::P3_BtnA);
    click(el::P2_Btn2);
    EXPECT_FALSE(window.isShown(el::Best_lbl(1)));
    click(el::P3_BtnB);
    EXPECT_FALSE(window.isShown(el::P3_BtnC));
}

TEST_F(HistoryInProgram, TheKeyPageAndTheProgressPageNeverReadEveryRun) {
    grade(1, 8, 1);
    click(el::P6_Btn(3));  // the key page
    click(el::P3_BtnC);    // the progress page
    window.choose(el::P7_Key, 0);
    click(el::P7_Key);
    click(el::P7_BtnA);
    for (const std::string& call : history.calls)
        EXPECT_NE(call.rfind("runs", 0), 0u) << "a long history would hold the window up: " << call;
    EXPECT_NE(std::find(history.calls.begin(), history.calls.end(), "chart Boe BB 000"), history.calls.end());
}

TEST_F(HistoryInProgram, WithoutAHistoryTheKeyPageIsAsBefore) {
    test::RecordingWindow bare;
    Program plain(bare, files);
    ASSERT_TRUE(plain.Form_Load());
    plain.click(el::P1_Btn1);
    plain.click(el::P2_Btn1);
    for (int k = 0; k < el::keyCount; ++k) EXPECT_FALSE(bare.isShown(el::Best_lbl(k)));
    plain.click(el::P3_BtnC);
    EXPECT_TRUE(bare.isShown(el::P7_Chart));
    EXPECT_EQ(bare.caption(el::P7_Note), "記録の履歴を読めないので、グラフと表は空です。");
    EXPECT_TRUE(bare.chart.lines.empty());
}

TEST_F(HistoryInProgram, TheProgressPageChartTableDaysAndExport) {
    grade(1, 8, 1);  // S01 ＡＡＡ at 340
    click(el::P6_Btn(3));
    grade(0, 3, 2);  // 000 at 60, 1-2 slips: Ｅ
    click(el::P6_Btn(3));
    history.kept.push_back(HistoryRun{
        "2010-08-20 09:00:00", "Oeh", "BA", "S01", "30", "0", "Ｆ", 4, std::nullopt, std::string(kKeyRun), {}});

    click(el::P3_BtnC);
    EXPECT_FALSE(window.isShown(el::P3_Btn(0))) << "the key page is gone";
    for (ElementId id : {el::P7_BtnA, el::P7_BtnB, el::P7_Key, el::P7_Chart, el::P7_Table, el::P7_Days})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　れんしゅうの記録");
    ASSERT_EQ(window.choices.size(), 29u);
    EXPECT_EQ(window.choices[0], "ハ長調（1回）");
    EXPECT_EQ(window.choices[1], "ト長調（1回）") << "Boehm and B flat only";
    EXPECT_EQ(window.choices[2], "ニ長調");
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 0) << "the key played last";
    EXPECT_EQ(window.chart.key, "000");
    ASSERT_EQ(window.chart.lines.size(), 1u);
    EXPECT_EQ(window.chart.lines[0].tempo, "60");
    ASSERT_EQ(window.table.rows.size(), 2u);
    EXPECT_EQ(window.table.rows[0][1], "ハ長調") << "newest first";
    EXPECT_EQ(window.table.rows[1][4], "ＡＡＡ");
    EXPECT_EQ(window.caption(el::P7_Days), "練習した日　今週 1日　今月 2日") << "every system and pairing";

    window.choose(el::P7_Key, 1);
    click(el::P7_Key);
    EXPECT_EQ(window.chart.key, "S01");
    ASSERT_EQ(window.chart.lines.size(), 1u);
    EXPECT_EQ(window.chart.lines[0].points.size(), 1u) << "not the Oehler run";

    click(el::P7_BtnB);
    const std::string csvName = "tarvel-history-2010-08-28.csv";
    EXPECT_NE(window.caption(el::P7_Note).find(csvName), std::string::npos) << window.caption(el::P7_Note);
    EXPECT_NE(window.caption(el::P7_Note).find("3 回分"), std::string::npos) << window.caption(el::P7_Note);
    std::ifstream csv(data.root() / csvName, std::ios::binary);
    std::string line;
    int lines = 0;
    while (std::getline(csv, line)) ++lines;
    EXPECT_EQ(lines, 4) << "a header and every run";

    click(el::P7_BtnA);
    EXPECT_FALSE(window.isShown(el::P7_Chart));
    EXPECT_TRUE(window.isShown(el::P3_Btn(0)));
    EXPECT_TRUE(window.isShown(el::Best_lbl(1)));
}

// The progress page from the keyboard alone: R from the key page, the arrows
// through the key list, C for the export, Backspace back.
TEST_F(HistoryInProgram, TheProgressPageFromTheKeyboardAlone) {
    auto press = [this](KeyInput key) {
        if (const auto id = program.keyPressed(key)) click(*id);
    };
    grade(1, 8, 1);  // S01
    click(el::P6_Btn(3));
    press(KeyInput::R);
    ASSERT_TRUE(window.isShown(el::P7_Chart));
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 1) << "the key played last";
    press(KeyInput::Down);
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 2);
    EXPECT_EQ(window.chart.key, "S02");
    for (int i = 0; i < 3; ++i) press(KeyInput::Up);
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 0) << "the list stops at its first key";
    EXPECT_EQ(window.chart.key, "000");
    EXPECT_EQ(window.choices.size(), 29u) << "the list keeps its items";
    press(KeyInput::C);
    EXPECT_NE(window.caption(el::P7_Note).find("tarvel-history-2010-08-28.csv"), std::string::npos);
    press(KeyInput::Backspace);
    EXPECT_TRUE(window.isShown(el::P3_Btn(0)));
    EXPECT_FALSE(window.isShown(el::P7_Chart));
}

TEST_F(HistoryInProgram, AnExportNeverReplacesAnEarlierOneOfTheSameDay) {
    grade(1, 8, 1);
    click(el::P6_Btn(3));
    click(el::P3_BtnC);
    click(el::P7_BtnB);
    const std::string first = "tarvel-history-2010-08-28.csv";
    data.write(first, "edited by the player");
    click(el::P7_BtnB);
    click(el::P7_BtnB);
    std::ifstream kept(data.root() / first, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "edited by the player");
    EXPECT_EQ(data.names(""), (std::vector<std::string>{"system", "tarvel-history-2010-08-28-2.csv",
                                                        "tarvel-history-2010-08-28-3.csv", first}));
    EXPECT_NE(window.caption(el::P7_Note).find("tarvel-history-2010-08-28-3.csv"), std::string::npos)
        << "it says which file it wrote: " << window.caption(el::P7_Note);
}

// The data folder's disk is full.
class FullDisk : public LocalFileSystem {
public:
    using LocalFileSystem::LocalFileSystem;

protected:
    int renameNoReplace(const char*, const char*) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST_F(HistoryInProgram, AnExportThatCannotBeWrittenSaysWhy) {
    grade(1, 8, 1);
    FullDisk full(data.root());
    test::RecordingWindow w;
    Program p(w, full);
    p.setHistory(history);
    ASSERT_TRUE(p.Form_Load());
    for (ElementId id : {el::P1_Btn1, el::P2_Btn1, el::P3_BtnC, el::P7_BtnB}) p.click(id);
    EXPECT_EQ(w.caption(el::P7_Note).rfind("書き出せませんでした（ディスクに空きがありません）", 0), 0u)
        << w.caption(el::P7_Note);
    EXPECT_NE(w.caption(el::P7_Note).find("tarvel-history-2010-08-28.csv"), std::string::npos);
    EXPECT_EQ(data.names(""), (std::vector<std::string>{"system"})) << "no temporary file is left";
}

}  // namespace
}  // namespace tarvel
