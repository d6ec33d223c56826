// Start-up, closing and the page routines.
#include <gtest/gtest.h>

#include "support/program_fixture.h"
#include "ui/page_pictures.h"

namespace tarvel {
namespace {

using test::ProgramTest;

std::vector<std::string> named(const std::string& op, ElementId first, ElementId last) {
    std::vector<std::string> ops;
    for (ElementId id = first; id <= last; ++id) ops.push_back(op + " " + elementName(id));
    return ops;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST_F(ProgramTest, StartUpRunsItsStepsInOrder) {
    ASSERT_TRUE(program.Form_Load());
    std::vector<std::string> expected{"hide title_img"};
    append(expected, named("hide", el::P2_Btn1, el::P2_Btn4));
    append(expected, {"hide P3_BtnA", "hide P3_BtnB"});
    append(expected, named("hide", el::P3_Btn(0), el::P3_Btn(28)));
    append(expected, named("hide", el::Lab_S1(0), el::Lab_S1(28)));
    append(expected, {"hide Check1"});
    append(expected, named("hide", el::Best_lbl(0), el::Best_lbl(28)));
    append(expected, named("hide", el::Due_lbl(0), el::Due_lbl(28)));
    append(expected, {"hide Due_note", "hide P3_BtnC", "hide Where_lbl", "hide Key_frm(0)"});
    append(expected, named("hide", el::P4_Btn(1), el::P4_Btn(9)));
    // The metronome box and its note, the listening box, list and note.
    append(expected, {"hide P4_BtnA", "hide Check2", "hide Lab_Oto", "hide Where_lbl", "hide Check3", "hide Cmb_Mic",
                      "hide Lab_Mic", "hide Lab_A4", "hide Cmb_A4"});
    append(expected, named("hide", el::P5_Btn(1), el::P5_Btn(4)));
    append(expected, {"hide Where_lbl", "hide Lab_Miss"});  // and what was heard
    append(expected, named("hide", el::Lab_Teian(0), el::Lab_Teian(3)));
    append(expected, {"hide Lab_Tune"});
    append(expected, named("hide", el::P6_Btn(1), el::P6_Btn(3)));
    append(expected, {"hide Where_lbl", "hide Ladder_lbl", "hide Record_lbl"});
    for (const char* name :
         {"P7_BtnA", "P7_BtnB", "P7_BtnC", "P7_BtnD", "P7_Key", "P7_Days", "P7_Chart", "P7_Table", "P7_Note"})
        expected.push_back(std::string("hide ") + name);
    for (const char* name : {"P8_BtnA", "P8_BtnD", "P8_Note", "P8_Tune", "Where_lbl"})
        expected.push_back(std::string("hide ") + name);
    append(expected, named("hide", el::P8_Weak(0), el::P8_Weak(el::weakShown - 1)));
    append(expected, named("hide", el::P8_Fng(0), el::P8_Fng(el::weakShown * el::fingersPerNote - 1)));
    for (const PagePicture& p : pagePictureTable())
        expected.push_back("picture " + elementName(p.element) + " " + std::string(p.file));
    append(expected,
           {"show Help_Btn", "show title_img", "show P1_Btn1", "show P1_Btn2", "show P1_Btn3", "caption Label1 "});
    // Page 1's way to About Tarvel gets its picture when it first shows.
    append(expected, {"picture About_Btn system\\hyouji\\button\\1_about.gif", "show About_Btn"});
    append(expected, named("hide", el::onp_img(0), el::onp_img(319)));
    append(expected, named("hide", el::Uns_img(0), el::Uns_img(2879)));
    append(expected, named("hide", el::Where_lbl, el::Record_lbl));
    EXPECT_EQ(window.ops, expected);
}

TEST_F(ProgramTest, PagePicturesAreTheFixedList) {
    const auto& table = pagePictureTable();
    // The 55 pages' pictures in their order, then the progress page's three,
    // the weak notes' four and the help's three.
    ASSERT_EQ(table.size(), 65u);
    EXPECT_EQ(table.front().file, "system\\hyouji\\title.gif");
    EXPECT_EQ(table[9].element, el::P3_Btn(0));
    EXPECT_EQ(table[9].file, "system\\hyouji\\button\\B_C000.gif");
    EXPECT_EQ(table[21].file, "system\\hyouji\\button\\B_CF05.gif");  // P3_Btn12
    EXPECT_EQ(table[38].file, "system\\hyouji\\button\\4_030.gif");
    EXPECT_EQ(table[47].element, el::P4_BtnA);
    EXPECT_EQ(table[47].file, table[7].file);                      // both back buttons show modoru.gif
    EXPECT_EQ(table[50].file, "system\\hyouji\\button\\5_3.gif");  // the third answer
    EXPECT_EQ(table[54].file, "system\\hyouji\\button\\6_code.gif");
    EXPECT_EQ(table[55].element, el::P3_BtnC);
    EXPECT_EQ(table[56].file, table[7].file) << "the progress page's back button looks like the others";
    EXPECT_EQ(table[57].file, "system\\hyouji\\button\\7_csv.gif");
    EXPECT_EQ(table[58].element, el::P7_BtnC);
    EXPECT_EQ(table[60].file, table[7].file) << "so does the weak notes' back button";
    EXPECT_EQ(table[62].element, el::Help_Btn);
    EXPECT_EQ(table[63].element, el::Help_BtnA);
    EXPECT_EQ(table.back().element, el::Help_BtnB);
}

TEST_F(ProgramTest, TheFirstScreen) {
    start();
    const ProgramState& s = state();
    for (const std::string& slot : s.Settings) EXPECT_EQ(slot, "");
    for (const std::string& line : s.Unshi_tbl) EXPECT_EQ(line, "");
    EXPECT_EQ(s.Cancel_flg, 0);
    EXPECT_EQ(s.Play_cnt, 0);
    EXPECT_EQ(s.Onp_cnt, 0);
    // Page 1, the message label, and the run's own elements still without a picture.
    EXPECT_EQ(window.visible(),
              (std::vector<std::string>{"Label1", "title_img", "Cancel_img", "Gosen_img1", "Gosen_img2", "Choshi(0)",
                                        "Choshi(1)", "P1_Btn1", "P1_Btn2", "P1_Btn3", "About_Btn", "Help_Btn"}));
    EXPECT_EQ(window.picture(el::Gosen_img1), "");
    EXPECT_EQ(window.picture(el::Cancel_img), "");
    EXPECT_EQ(window.caption(el::Label1), "");
}

TEST_F(ProgramTest, AMissingPagePictureEndsStartUpAtThatPicture) {
    data.makeFolder("system\\hyouji\\button\\");
    window.missingPictures.insert("system\\hyouji\\button\\6_code.gif");
    EXPECT_FALSE(program.Form_Load());
    const auto messages = window.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(data.path("system\\hyouji\\button\\6_code.gif").string()), std::string::npos);
    EXPECT_EQ(window.ops.back(), "exit 1");
    EXPECT_TRUE(window.opsStartingWith("show ").empty());
    EXPECT_EQ(window.opsStartingWith("picture ").size(), 55u);
}

// Started in a folder without a data set, the program says where it looked
// and how it is meant to be started.
TEST_F(ProgramTest, StartedOutsideADataFolderItSaysHowToStart) {
    window.missingPictures.insert("system\\hyouji\\title.gif");
    EXPECT_FALSE(program.Form_Load());
    const auto messages = window.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("フォルダ " + data.root().string() + " には"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("コマンド tarvel"), std::string::npos) << messages[0];
    EXPECT_EQ(window.ops.back(), "exit 1");
}

TEST_F(ProgramTest, ABrokenFirstPictureLoadsNoOther) {
    window.missingPictures.insert("system\\hyouji\\title.gif");
    EXPECT_FALSE(program.Form_Load());
    EXPECT_EQ(window.opsStartingWith("picture ").size(), 1u);
    EXPECT_EQ(window.ops.back(), "exit 1");
}

TEST_F(ProgramTest, ClosingEndsTheProgramAndNothingRunsAfter) {
    start();
    int cancel = 0;
    program.Form_QueryUnload(cancel, 0);
    EXPECT_EQ(cancel, 0);
    program.Form_Unload(cancel);
    EXPECT_EQ(window.ops.back(), "exit 0");
    const std::size_t before = mark();
    click(el::P1_Btn3);
    EXPECT_EQ(mark(), before);
}

TEST_F(ProgramTest, PageRoutinesWriteTheirCaptions) {
    start();
    program.Show_P4();
    EXPECT_EQ(opsSince(0),
              (std::vector<std::string>{
                  "show P4_Btn1", "show P4_Btn2", "show P4_Btn3", "show P4_Btn4", "show P4_Btn5", "show P4_Btn6",
                  "show P4_Btn7", "show P4_Btn8", "show P4_Btn9", "show P4_BtnA", "font Label1 name=MS UI Gothic",
                  "font Label1 size=32", "caption Label1 \r\n　　　テンポをえらんでね", "show Check2",
                  "caption Where_lbl ", "show Where_lbl",
                  // no microphone: the listening box greyed, and why
                  "enable Check3 0", "caption Lab_Mic マイクが見つからないので、聴くことはできません。", "show Check3",
                  "show Lab_Mic"}));
    window.clearOps();
    program.Show_P5();
    EXPECT_EQ(window.opsStartingWith("caption Label1").back(), "caption Label1 \r\n　　　　　どうだった？");
    window.clearOps();
    program.Show_P6();
    EXPECT_TRUE(window.opsStartingWith("caption Label1").empty()) << "page 6 leaves the grade on the label";
    window.clearOps();
    program.Hide_P3();
    EXPECT_TRUE(window.opsStartingWith("caption").empty());
    EXPECT_EQ(opsSince(window.ops.size() - 3),
              (std::vector<std::string>{"hide P3_BtnC", "hide Where_lbl", "hide Key_frm(0)"}));
}

TEST_F(ProgramTest, ShowingTheTempoPageResetsTheRepeatCounter) {
    start();
    state().Play_cnt = 2;
    program.Show_P4();
    EXPECT_EQ(state().Play_cnt, 0);
}

}  // namespace
}  // namespace tarvel
