// The click handlers of pages 1 to 4 and 6, the chart loading of the system
// buttons, and the key page.
#include <gtest/gtest.h>

#include "app/texts.h"
#include "support/program_fixture.h"

namespace tarvel {
namespace {

using test::ProgramTest;

std::vector<std::string> chart(int lines, const std::string& prefix) {
    std::vector<std::string> result;
    for (int i = 0; i < lines; ++i) result.push_back(prefix + std::to_string(i));
    return result;
}

// Counts U+3000 ideographic spaces.
int ideographicSpaces(std::string_view text) {
    int count = 0;
    for (std::size_t at = text.find("　"); at != std::string_view::npos; at = text.find("　", at + 1)) ++count;
    return count;
}

TEST(Captions, SpacingAndCharacters) {
    EXPECT_EQ(ideographicSpaces(text::kKeyPrompt), 4);
    EXPECT_EQ(ideographicSpaces(text::kTempoPrompt), 3);
    EXPECT_EQ(ideographicSpaces(text::kAnswerPrompt), 5);
    EXPECT_EQ(ideographicSpaces(text::kLoading), 2);
    EXPECT_EQ(ideographicSpaces(text::kRunEnd), 7);
    EXPECT_EQ(text::kAnswerPrompt.substr(text::kAnswerPrompt.size() - 3), "\xEF\xBC\x9F");  // U+FF1F
    EXPECT_EQ(text::kLoading.substr(text::kLoading.size() - 9), "。。。");
    EXPECT_EQ(text::kLoadingFingers,
              std::string(text::kLoading.substr(0, text::kLoading.size() - 9)) + "。。。。。。。");
    const char* digits[] = {"\xEF\xBC\x94", "\xEF\xBC\x93", "\xEF\xBC\x92", "\xEF\xBC\x91"};  // U+FF14 .. U+FF11
    for (int i = 0; i < 4; ++i) EXPECT_EQ(text::kCounts[i], std::string("\r\n\xE3\x80\x80 ") + digits[i]);
    for (const std::string_view caption : {text::kKeyPrompt, text::kTempoPrompt, text::kAnswerPrompt, text::kLoading,
                                           text::kCountInStart, text::kRunEnd, text::kResult})
        EXPECT_EQ(caption.substr(0, 2), "\r\n");
}

TEST_F(ProgramTest, SystemButtonLoadsItsChartThenShowsPage2) {
    data.writeLines("system\\unshi\\boe.txt", chart(3, "b"));
    start();
    click(el::P1_Btn1);
    EXPECT_EQ(state().Unshi_tbl[0], "b0");
    EXPECT_EQ(state().Unshi_tbl[2], "b2");
    EXPECT_EQ(state().Unshi_tbl[3], "");
    EXPECT_EQ(state().Settings[1], "Boe");
    EXPECT_EQ(window.ops.front(), "hide title_img");
    EXPECT_EQ(window.ops.back(), "caption Label1 ");
    EXPECT_TRUE(window.isShown(el::P2_Btn4));
    EXPECT_FALSE(window.isShown(el::P1_Btn1));
}

TEST_F(ProgramTest, ChartLinesBeyondTheTableAreIgnored) {
    data.writeLines("system\\unshi\\oeh.txt", chart(600, "o"));
    start();
    click(el::P1_Btn2);
    EXPECT_EQ(state().Unshi_tbl[500], "o500");
    EXPECT_EQ(state().Settings[1], "Oeh");
}

TEST_F(ProgramTest, AShorterChartLeavesTheLongerOnesLastLines) {
    data.writeLines("system\\unshi\\boe.txt", chart(10, "b"));
    data.writeLines("system\\unshi\\oeh.txt", chart(4, "o"));
    start();
    click(el::P1_Btn1);
    click(el::P2_Btn4);  // back to page 1
    click(el::P1_Btn2);
    EXPECT_EQ(state().Unshi_tbl[3], "o3");
    EXPECT_EQ(state().Unshi_tbl[4], "b4");
    EXPECT_EQ(state().Unshi_tbl[9], "b9");
}

TEST_F(ProgramTest, AnEmptyChartChangesNothingButMovesOn) {
    data.writeLines("system\\unshi\\boe.txt", chart(2, "b"));
    data.write("system\\unshi\\oeh.txt", "");
    start();
    click(el::P1_Btn1);
    click(el::P2_Btn4);
    click(el::P1_Btn2);
    EXPECT_EQ(state().Unshi_tbl[0], "b0");
    EXPECT_EQ(state().Settings[1], "Oeh");
    EXPECT_TRUE(window.isShown(el::P2_Btn1));
    // It is not used silently: the player is told, naming the whole path. A
    // chart of lone line ends is just as empty.
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_NE(window.messages()[0].find(data.path("system\\unshi\\oeh.txt").string()), std::string::npos);
    data.write("system\\unshi\\oeh.txt", std::string(600, '\r'));
    click(el::P2_Btn4);
    click(el::P1_Btn2);
    EXPECT_EQ(window.messages().size(), 2u);
}

TEST_F(ProgramTest, AMissingChartLeavesPage1AndTheStateAsTheyWere) {
    data.writeLines("system\\unshi\\boe.txt", chart(2, "b"));
    start();
    click(el::P1_Btn1);
    click(el::P2_Btn4);
    window.clearOps();
    click(el::P1_Btn2);  // there is no oeh.txt
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_NE(window.messages()[0].find(data.path("system\\unshi\\oeh.txt").string()), std::string::npos);
    EXPECT_NE(window.messages()[0].find("見つかりません"), std::string::npos) << window.messages()[0];
    EXPECT_EQ(window.ops.size(), 1u) << "nothing but the message";
    EXPECT_EQ(state().Settings[1], "Boe");
    EXPECT_EQ(state().Unshi_tbl[0], "b0");
    EXPECT_TRUE(window.isShown(el::P1_Btn2));
}

TEST_F(ProgramTest, OneCharacterChartLine) {
    data.writeLines("system\\unshi\\boe.txt", {"Z"});
    start();
    click(el::P1_Btn1);
    EXPECT_EQ(state().Unshi_tbl[0], "Z");
}

TEST_F(ProgramTest, TheUnmarkedSquareSkipsTheChart) {
    data.writeLines("system\\onkai\\Boe\\BB\\000\\まだです", {});
    start();
    click(el::P1_Btn3);
    EXPECT_TRUE(window.isShown(el::P2_Btn1));
    EXPECT_EQ(state().Settings[1], "");
    click(el::P2_Btn1);
    // The result folders are looked for under an empty system name.
    EXPECT_EQ(window.caption(el::Lab_S1(0)), "");
    EXPECT_EQ(state().Settings[2], "BB");
}

TEST_F(ProgramTest, BackButtonsLeadToTheirPages) {
    data.writeLines("system\\unshi\\boe.txt", chart(1, "b"));
    start();
    click(el::P1_Btn1);
    click(el::P2_Btn4);
    EXPECT_TRUE(window.isShown(el::P1_Btn1));
    EXPECT_TRUE(window.isShown(el::title_img));
    click(el::P1_Btn3);
    click(el::P2_Btn2);
    EXPECT_EQ(state().Settings[2], "BC");
    click(el::P3_BtnA);
    EXPECT_TRUE(window.isShown(el::P2_Btn1));
    EXPECT_FALSE(window.isShown(el::Check1));
    EXPECT_EQ(window.caption(el::Label1), "");
    click(el::P2_Btn3);
    EXPECT_EQ(state().Settings[2], "BA");
    click(el::P3_BtnB);
    EXPECT_TRUE(window.isShown(el::P1_Btn1));
    EXPECT_EQ(window.caption(el::Label1), "");
    EXPECT_EQ(state().Settings[1], "Boe") << "kept by buttons that do not write it";
}

TEST_F(ProgramTest, KeyPageShowsEveryKeysRecord) {
    data.writeLines("system\\unshi\\boe.txt", chart(1, "b"));
    data.write("system\\onkai\\Boe\\BB\\000\\まだです", "");
    data.write("system\\onkai\\Boe\\BB\\S03\\2010.08.28 ＡＡ", "");
    data.write("system\\onkai\\Boe\\BB\\F05\\b-second", "");
    data.write("system\\onkai\\Boe\\BB\\F05\\a-first", "");
    data.write("system\\onkai\\Boe\\BB\\S08\\.hidden", "");
    data.makeFolder("system\\onkai\\Boe\\BB\\S09\\a-folder");
    data.write("system\\onkai\\Boe\\BC\\S03\\BC only", "");
    start();
    toKeyPage();
    EXPECT_EQ(window.caption(el::Lab_S1(0)), "まだです");
    EXPECT_EQ(window.caption(el::Lab_S1(3)), "2010.08.28 ＡＡ");
    EXPECT_EQ(window.caption(el::Lab_S1(12)), "a-first") << "the first by name";
    EXPECT_EQ(window.caption(el::Lab_S1(15)), "") << "hidden files are no record";
    EXPECT_EQ(window.caption(el::Lab_S1(16)), "") << "folders are no record";
    EXPECT_EQ(window.caption(el::Lab_S1(1)), "") << "a missing folder";
    click(el::P3_BtnA);
    click(el::P2_Btn2);
    EXPECT_EQ(window.caption(el::Lab_S1(3)), "BC only");
    EXPECT_EQ(window.caption(el::Lab_S1(0)), "");
}

TEST_F(ProgramTest, KeyPageStepsInOrder) {
    data.writeLines("system\\unshi\\boe.txt", chart(1, "b"));
    start();
    click(el::P1_Btn1);
    const std::size_t from = mark();
    click(el::P2_Btn1);
    std::vector<std::string> expected;
    for (const char* name : {"title_img", "P2_Btn1", "P2_Btn2", "P2_Btn3", "P2_Btn4"})
        expected.push_back(std::string("hide ") + name);
    expected.push_back("show P3_BtnA");
    expected.push_back("show P3_BtnB");
    for (int k = 0; k < 29; ++k) expected.push_back("show " + elementName(el::P3_Btn(k)));
    for (int k = 0; k < 29; ++k) {
        expected.push_back("caption " + elementName(el::Lab_S1(k)) + " ");
        expected.push_back("show " + elementName(el::Lab_S1(k)));
    }
    expected.push_back("font Label1 name=MS UI Gothic");
    expected.push_back("font Label1 size=32");
    expected.push_back("caption Label1 \r\n　　　　調子をえらんでね");
    expected.push_back("show Check1");
    // Beside the page as it always was: the way to the progress page (no
    // history here, so no best results).
    expected.push_back("show P3_BtnC");
    // Then where the player is, and the keyboard's frame on the first key,
    // none having been chosen yet.
    expected.push_back("caption Where_lbl ベーム式・B♭管");
    expected.push_back("show Where_lbl");
    expected.push_back("show Key_frm(0)");
    EXPECT_EQ(opsSince(from), expected);
}

TEST_F(ProgramTest, KeyButtonShowsTheTempoPageThenStoresTheKey) {
    data.writeLines("system\\unshi\\boe.txt", chart(1, "b"));
    start();
    toKeyPage();
    state().Play_cnt = 3;
    click(el::P3_Btn(12));
    EXPECT_EQ(state().Settings[3], "F05");
    EXPECT_EQ(state().Settings[6], "1");
    EXPECT_EQ(state().Play_cnt, 0);
    EXPECT_TRUE(window.isShown(el::P4_Btn(9)));
    EXPECT_FALSE(window.isShown(el::Check1));
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね");
    // The same key again sets the reload flag again.
    state().Settings[6] = "0";
    click(el::P4_BtnA);
    EXPECT_TRUE(window.isShown(el::Lab_S1(28)));
    click(el::P3_Btn(12));
    EXPECT_EQ(state().Settings[6], "1");
    const char* codes[] = {"000", "S01", "S07", "F01", "F07", "S08", "S14", "F08", "F14"};
    const int keys[] = {0, 1, 7, 8, 14, 15, 21, 22, 28};
    for (int i = 0; i < 9; ++i) {
        click(el::P4_BtnA);
        click(el::P3_Btn(keys[i]));
        EXPECT_EQ(state().Settings[3], codes[i]);
    }
}

TEST_F(ProgramTest, Page6ButtonsSetTheReloadFlag) {
    start();
    program.Show_P6();
    click(el::P6_Btn(2));
    EXPECT_EQ(state().Settings[6], "0");
    EXPECT_TRUE(window.isShown(el::P4_Btn(1)));
    EXPECT_FALSE(window.isShown(el::P6_Btn(1)));
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね");
    program.Hide_P4();
    program.Show_P6();
    click(el::P6_Btn(3));
    EXPECT_EQ(state().Settings[6], "1");
    EXPECT_TRUE(window.isShown(el::P3_Btn(0)));
}

TEST_F(ProgramTest, ElementsWithoutAHandlerIgnoreClicks) {
    start();
    const std::size_t before = mark();
    for (const ElementId id :
         {el::Label1, el::title_img, el::onp_img(3), el::Uns_img(7), el::Gosen_img1, el::Lab_S1(2)})
        click(id);
    EXPECT_EQ(mark(), before);
}

}  // namespace
}  // namespace tarvel
