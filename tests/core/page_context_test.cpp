// What tells the player where they are: the caption of the choices so far on
// every page after page 2, and the grade ladder with the tempo, the repeat
// count and the record on page 6.
#include <gtest/gtest.h>

#include "app/context_caption.h"
#include "grade/grading.h"
#include "support/program_fixture.h"

namespace tarvel {
namespace {

SettingsSlots settings(std::string system, std::string pairing, std::string key, std::string tempo) {
    return {"", std::move(system), std::move(pairing), std::move(key), std::move(tempo), "", ""};
}

TEST(ContextCaption, NamesTheChoicesSoFar) {
    struct Row {
        SettingsSlots slots;
        CaptionDepth depth;
        std::string caption;
    };
    const Row rows[] = {
        {settings("Boe", "BB", "S03", "120"), CaptionDepth::Tempo, "ベーム式・B♭管・イ長調・♩=120"},
        {settings("Boe", "BB", "S03", "120"), CaptionDepth::Key, "ベーム式・B♭管・イ長調"},
        {settings("Boe", "BB", "S03", "120"), CaptionDepth::Pairing, "ベーム式・B♭管"},
        {settings("Oeh", "BC", "F14", "480"), CaptionDepth::Tempo, "エーラー式・C管・変イ短調・♩=480"},
        {settings("Oeh", "BA", "000", "30"), CaptionDepth::Tempo, "エーラー式・A管・ハ長調・♩=30"},
        {settings("Boe", "BA", "S10", ""), CaptionDepth::Key, "ベーム式・A管・嬰ヘ短調"},
        // The unmarked square of page 1 leaves the system unchosen.
        {settings("", "BB", "", ""), CaptionDepth::Pairing, "B♭管"},
        {settings("", "BC", "F02", "60"), CaptionDepth::Tempo, "C管・変ロ長調・♩=60"},
    };
    for (const Row& row : rows) EXPECT_EQ(contextCaption(row.slots, row.depth), row.caption) << row.caption;
}

TEST(ContextCaption, TwoLinesForTheRunsMargin) {
    EXPECT_EQ(runContextCaption(settings("Boe", "BB", "S03", "120")), "ベーム式・B♭管\r\nイ長調・♩=120");
    EXPECT_EQ(runContextCaption(settings("", "BA", "F08", "85")), "A管\r\nニ短調・♩=85");
    EXPECT_EQ(runContextCaption(settings("", "", "F08", "85")), "ニ短調・♩=85");
}

// The line of the ladder that carries the mark, from 0 at the top.
int markedLine(const std::string& ladder, std::string* text = nullptr) {
    int line = 0, marked = -1, marks = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = ladder.find("\r\n", start);
        const std::string row = ladder.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (row.rfind("▶", 0) == 0) {
            marked = line;
            ++marks;
            if (text) *text = row.substr(std::string("▶").size());
        }
        if (end == std::string::npos) break;
        start = end + 2;
        ++line;
    }
    EXPECT_EQ(line, 13) << "fourteen grades";
    EXPECT_EQ(marks, 1) << ladder;
    return marked;
}

TEST(GradeLadder, MarksTheGradeReached) {
    struct Outcome {
        const char* tempo;
        const char* answer;
        std::int16_t counterBefore;
        int line;
        const char* grade;
    };
    const Outcome outcomes[] = {
        {"480", "0", 2, 0, "ＳＳＳ"}, {"120", "0", 0, 6, "Ｂ"},  {"120", "0", 1, 5, "Ａ"},
        {"30", "2", 0, 12, "Ｈ"},     {"240", "3", 2, 13, "Ｉ"}, {"340", "1", 0, 4, "ＡＡ"},
    };
    for (const Outcome& o : outcomes) {
        const Grade grade = gradeRun(o.tempo, o.answer, o.counterBefore);
        std::string text;
        EXPECT_EQ(markedLine(gradeLadder(grade.Grade_no), &text), o.line) << o.tempo << " " << o.answer;
        EXPECT_EQ(text, o.grade);
        EXPECT_EQ(text, grade.text) << "the ladder marks what Label1 shows";
    }
    EXPECT_EQ(markedLine(gradeLadder(99)), 0) << "any other value reads as ＳＳＳ, as on the label";
}

TEST(GradeLadder, DetailsSayTempoRepeatAndRecord) {
    EXPECT_EQ(gradeDetails("120", 2, true), "テンポ　♩=120\r\nくり返し　2回目\r\n記録しました");
    EXPECT_EQ(gradeDetails("30", 1, false), "テンポ　♩=30\r\nくり返し　1回目\r\n記録できませんでした");
}

class WhereTest : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart("system\\unshi\\oeh.txt");
        start();
    }
};

TEST_F(WhereTest, EveryPageFromTheKeyPageOnSaysWhereThePlayerIs) {
    click(el::P1_Btn2);
    EXPECT_FALSE(window.isShown(el::Where_lbl)) << "page 2 has the pictures to say it";
    click(el::P2_Btn2);
    EXPECT_TRUE(window.isShown(el::Where_lbl));
    EXPECT_EQ(window.caption(el::Where_lbl), "エーラー式・C管");
    click(el::P3_Btn(9));
    EXPECT_EQ(window.caption(el::Where_lbl), "エーラー式・C管・変ロ長調") << "the key just chosen, not the one before";
    click(el::P4_BtnA);
    click(el::P3_Btn(15));
    EXPECT_EQ(window.caption(el::Where_lbl), "エーラー式・C管・ホ短調");
    click(el::P4_BtnA);
    click(el::P3_BtnB);
    EXPECT_FALSE(window.isShown(el::Where_lbl)) << "page 1 again";
}

}  // namespace
}  // namespace tarvel
