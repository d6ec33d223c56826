// Grading after a run: the answer buttons, the grade on the label, the
// repeat counter across the buttons of page 6, and the record it writes.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "data/data_paths.h"
#include "support/program_fixture.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

// Refuses every rename, as a read-only or failing disk would.
class RefusingFileSystem : public LocalFileSystem {
public:
    using LocalFileSystem::LocalFileSystem;
    FileResult rename(const std::string&, const std::string&, const std::string&) override {
        return {FileResult::Failed, "read-only file system"};
    }
};

const std::string kRecords = "system\\onkai\\Boe\\BB\\S01\\";

class GradeTest : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        data.writeLines(exercisePath("Boe", "BB", "S01"), exerciseLines("#1", scaleNotes(32)));
        data.write(kRecords + "まだです", "");
        start();
        click(el::P1_Btn1);
        click(el::P2_Btn1);
        click(el::P3_Btn(1));
    }
    // Plays a whole run at a tempo button and answers with an answer button.
    std::string playAndAnswer(int tempoButton, int answerButton) {
        click(el::P4_Btn(tempoButton));
        return answer(answerButton);
    }
    std::string answer(int answerButton) {
        EXPECT_TRUE(window.isShown(el::P5_Btn(answerButton)));
        click(el::P5_Btn(answerButton));
        return window.caption(el::Label1).substr(2);
    }
    std::vector<std::string> records() const { return data.names(kRecords); }
    std::string folderPath() const {
        std::string path = data.path(kRecords).string();
        path.pop_back();  // the trailing separator
        return path;
    }
};

TEST_F(GradeTest, GradingStepsAndTheRecord) {
    click(el::P4_Btn(5));  // 120
    const std::size_t from = mark();
    click(el::P5_Btn(1));
    const std::vector<std::string> expected{
        "hide P5_Btn1",
        "hide P5_Btn2",
        "hide P5_Btn3",
        "hide P5_Btn4",
        "hide Where_lbl",
        "hide Lab_Miss",
        "hide Lab_Teian(0)",
        "hide Lab_Teian(1)",
        "hide Lab_Teian(2)",
        "hide Lab_Teian(3)",
        "hide Lab_Tune",
        "hide Help_Btn",  // no help while grading
        "font Label1 name=MS UI Gothic",
        "font Label1 size=124",
        "caption Label1 \r\n結果",
        "pump",
        "sleep 1500",
        "caption Label1 \r\nＢ",
        // The record is written here; page 6 then explains the grade.
        "caption Ladder_lbl 　ＳＳＳ\r\n　ＳＳ\r\n　Ｓ\r\n　ＡＡＡ\r\n　ＡＡ\r\n　Ａ\r\n▶Ｂ\r\n　Ｃ\r\n　Ｄ\r\n"
        "　Ｅ\r\n　Ｆ\r\n　Ｇ\r\n　Ｈ\r\n　Ｉ",
        "caption Record_lbl テンポ　♩=120\r\nくり返し　1回目\r\n記録しました",
        "show Help_Btn",
        "show P6_Btn1",
        "show P6_Btn2",
        "show P6_Btn3",
        "caption Where_lbl ベーム式・B♭管・ト長調・♩=120",
        "show Where_lbl",
        "show Ladder_lbl",
        "show Record_lbl",
    };
    EXPECT_EQ(opsSince(from), expected);
    EXPECT_EQ(window.timeOf("caption Label1 \r\nＢ", from) - window.timeOf("caption Label1 \r\n結果", from), 1500);
    EXPECT_EQ(state().Settings[5], "0");
    EXPECT_EQ(state().Play_cnt, 1);
    EXPECT_EQ(records(), std::vector<std::string>{"2010.08.28 Ｂ"});
    EXPECT_TRUE(window.messages().empty());
    // The key page shows it the next time it opens.
    click(el::P6_Btn(3));
    EXPECT_EQ(window.caption(el::Lab_S1(1)), "2010.08.28 Ｂ");
}

TEST_F(GradeTest, TheDateHasItsSlashesReplaced) {
    window.date = {2026, 12, 7};
    playAndAnswer(1, 4);
    EXPECT_EQ(records(), std::vector<std::string>{"2026.12.07 Ｉ"});
}

TEST_F(GradeTest, RepeatCounterAcrossTheAgainButton) {
    std::string grades = playAndAnswer(3, 1);  // 60
    for (int i = 0; i < 3; ++i) {
        click(el::P6_Btn(1));
        grades += " " + answer(1);
    }
    EXPECT_EQ(grades, "Ｄ Ｃ Ｂ Ｄ");
    EXPECT_EQ(records(), std::vector<std::string>{"2010.08.28 Ｄ"}) << "only the last grade is kept";
}

TEST_F(GradeTest, RepeatCounterAfterOtherAnswers) {
    std::string grades = playAndAnswer(5, 1);  // 120
    for (const int button : {1, 2, 1}) {
        click(el::P6_Btn(1));
        grades += " " + answer(button);
    }
    EXPECT_EQ(grades, "Ｂ Ａ Ｃ Ａ");
}

TEST_F(GradeTest, AnotherTempoOrACancelStartsTheCountAgain) {
    playAndAnswer(5, 1);
    click(el::P6_Btn(1));
    answer(1);  // counter 2
    click(el::P6_Btn(2));
    EXPECT_EQ(state().Play_cnt, 0);
    EXPECT_EQ(playAndAnswer(9, 1), "Ｓ") << "480, first column";
    // A cancelled run brings back the tempo page, which resets the counter.
    click(el::P6_Btn(1));
    window.onPump = [&](int) {
        if (window.ops.back() == "pump" && window.ops[window.ops.size() - 2] == "caption Label1 \r\nいくよ")
            click(el::Cancel_img);
    };
    click(el::P6_Btn(1));
    window.onPump = nullptr;
    EXPECT_EQ(state().Play_cnt, 0);
    EXPECT_EQ(playAndAnswer(9, 1), "Ｓ");
}

TEST_F(GradeTest, TheSameGradeTheSameDayLeavesTheRecord) {
    playAndAnswer(5, 4);
    click(el::P6_Btn(1));
    answer(4);
    EXPECT_EQ(records(), std::vector<std::string>{"2010.08.28 Ｉ"});
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(GradeTest, AMissingRecordIsMadeAgain) {
    std::filesystem::remove_all(data.path(kRecords));
    playAndAnswer(5, 1);
    EXPECT_EQ(records(), std::vector<std::string>{"2010.08.28 Ｂ"});
    // A folder without an ordinary file, too.
    std::filesystem::remove(data.path(kRecords + "2010.08.28 Ｂ"));
    data.write(kRecords + ".hidden", "");
    click(el::P6_Btn(1));
    answer(1);
    EXPECT_EQ(records(), (std::vector<std::string>{".hidden", "2010.08.28 Ａ"}));
}

TEST_F(GradeTest, ANameTakenByAnotherFileIsNeverOverwritten) {
    data.write(kRecords + "2010.08.28 Ｂ", "somebody's file");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the record is the file renamed last
    std::filesystem::rename(data.path(kRecords + "まだです"), data.path(kRecords + "0 first"));
    playAndAnswer(5, 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"0 first", "2010.08.28 Ｂ"}));
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_NE(window.messages()[0].find(folderPath()), std::string::npos);
    EXPECT_NE(window.messages()[0].find("記録「0 first」はそのままです"), std::string::npos);
    EXPECT_EQ(window.caption(el::Label1), "\r\nＢ") << "the grade is shown before";
    EXPECT_EQ(window.caption(el::Record_lbl), "テンポ　♩=120\r\nくり返し　1回目\r\n記録できませんでした");
    std::ifstream kept(data.path(kRecords + "2010.08.28 Ｂ"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "somebody's file");
}

TEST_F(GradeTest, ClosingDuringThePauseLeavesTheRecord) {
    click(el::P4_Btn(5));
    window.onPump = [&](int) {
        int cancel = 0;
        program.Form_Unload(cancel);
    };
    click(el::P5_Btn(1));
    EXPECT_EQ(records(), std::vector<std::string>{"まだです"});
    EXPECT_EQ(window.ops.back(), "exit 0");
}

// A result folder reached through a symbolic link is no record folder: the
// grade is shown, nothing is written there, and the player is told where.
TEST_F(GradeTest, AResultFolderThatIsALinkIsLeftAlone) {
    namespace fs = std::filesystem;
    const fs::path documents = data.root() / "documents";
    fs::create_directories(documents);
    std::ofstream(documents / "thesis.txt") << "years of work";
    fs::remove_all(data.path(kRecords));
    fs::create_directory_symlink(documents, data.path("system\\onkai\\Boe\\BB\\S01"));
    playAndAnswer(9, 1);
    EXPECT_EQ(window.caption(el::Label1), "\r\nＳ");
    EXPECT_EQ(data.names("documents\\"), std::vector<std::string>{"thesis.txt"});
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_NE(window.messages()[0].find(folderPath()), std::string::npos) << window.messages()[0];
    EXPECT_NE(window.messages()[0].find("シンボリックリンク"), std::string::npos) << window.messages()[0];
}

// Two files in a result folder: the key page shows the record, and says once
// which folder holds an extra file, naming both.
TEST_F(GradeTest, AnExtraFileInAResultFolderIsToldOnce) {
    data.write(kRecords + "2026.12.05 memo", "");
    click(el::P4_BtnA);  // to the key page again
    ASSERT_EQ(window.messages().size(), 1u);
    const std::string message = window.messages()[0];
    EXPECT_NE(message.find(folderPath()), std::string::npos) << message;
    EXPECT_NE(message.find("「2026.12.05 memo」"), std::string::npos) << message;
    EXPECT_NE(message.find("「まだです」"), std::string::npos) << message;
    // The record is the file changed last (here the new one); the other one
    // is never touched, however often the key is graded.
    const std::string shown = window.caption(el::Lab_S1(1));
    const std::string other = shown == "まだです" ? "2026.12.05 memo" : "まだです";
    click(el::P3_Btn(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    playAndAnswer(9, 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"2010.08.28 Ｓ", other}));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    click(el::P6_Btn(1));  // again: the repeat counter goes on
    answer(1);
    EXPECT_EQ(records(), (std::vector<std::string>{"2010.08.28 ＳＳ", other}));
    click(el::P6_Btn(3));  // the key page shows the grade just written
    EXPECT_EQ(window.caption(el::Lab_S1(1)), "2010.08.28 ＳＳ");
    EXPECT_EQ(window.messages().size(), 1u) << "told once";
}

// A folder without a record that cannot be made quotes no empty record name.
TEST_F(GradeTest, ARecordThatCannotBeMadeQuotesNoEmptyName) {
    std::filesystem::remove_all(data.path(kRecords));
    data.write("system\\onkai\\Boe\\BB\\S01", "a file where the folder should be");
    playAndAnswer(5, 1);
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].find("記録「」"), std::string::npos) << window.messages()[0];
    EXPECT_NE(window.messages()[0].find(folderPath()), std::string::npos) << window.messages()[0];
}

class RefusedRenameTest : public test::ProgramTest {};

TEST_F(RefusedRenameTest, ARenameThatFailsIsReportedAfterTheGrade) {
    RefusingFileSystem refusing(data.root());
    test::RecordingWindow screen;
    Program graded(screen, refusing);
    writePlainChart();
    data.writeLines(exercisePath("Boe", "BB", "S01"), exerciseLines("#1", scaleNotes(32)));
    data.write(kRecords + "まだです", "");
    ASSERT_TRUE(graded.Form_Load());
    for (const ElementId id : {el::P1_Btn1, el::P2_Btn1, el::P3_Btn(1), el::P4_Btn(5), el::P5_Btn(2)}) graded.click(id);
    ASSERT_EQ(screen.messages().size(), 1u);
    EXPECT_NE(screen.messages()[0].find("read-only file system"), std::string::npos);
    const auto grade = std::find(screen.ops.begin(), screen.ops.end(), "caption Label1 \r\nＣ");
    const auto message = std::find_if(screen.ops.begin(), screen.ops.end(),
                                      [](const std::string& op) { return op.rfind("message", 0) == 0; });
    EXPECT_LT(grade, message);
    EXPECT_EQ(data.names(kRecords), std::vector<std::string>{"まだです"});
    EXPECT_TRUE(screen.isShown(el::P6_Btn(1)));
    EXPECT_TRUE(screen.isShown(el::Record_lbl));
    EXPECT_EQ(screen.caption(el::Record_lbl), "テンポ　♩=120\r\nくり返し　1回目\r\n記録できませんでした");
}

}  // namespace
}  // namespace tarvel
