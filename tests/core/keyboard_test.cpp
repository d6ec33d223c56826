// The keys of the pages: the buttons each key stands for, the key page's
// frame and how the arrow keys move it.
#include <gtest/gtest.h>

#include "app/keyboard.h"
#include "support/program_fixture.h"

namespace tarvel {
namespace {

using test::ProgramTest;

TEST(Keyboard, EachKeyStandsForOneButtonOfThePageShowing) {
    struct Row {
        Page page;
        KeyInput key;
        std::optional<ElementId> button;
    };
    const Row rows[] = {
        {Page::System, KeyInput::Digit1, el::P1_Btn1},
        {Page::System, KeyInput::Digit2, el::P1_Btn2},
        {Page::System, KeyInput::Digit3, std::nullopt},  // the unmarked square has no key: it is not meant to be found
        {Page::System, KeyInput::Backspace, std::nullopt},
        {Page::Part, KeyInput::Digit1, el::P2_Btn1},
        {Page::Part, KeyInput::Digit3, el::P2_Btn3},
        {Page::Part, KeyInput::Digit4, std::nullopt},
        {Page::Part, KeyInput::Backspace, el::P2_Btn4},
        {Page::Key, KeyInput::Enter, el::P3_Btn(12)},
        {Page::Key, KeyInput::Backspace, el::P3_BtnA},
        {Page::Key, KeyInput::Home, el::P3_BtnB},
        {Page::Key, KeyInput::Space, el::Check1},
        {Page::Key, KeyInput::Digit1, std::nullopt},
        {Page::Tempo, KeyInput::Digit0, std::nullopt},
        {Page::Tempo, KeyInput::Digit1, el::P4_Btn(1)},
        {Page::Tempo, KeyInput::Digit5, el::P4_Btn(5)},
        {Page::Tempo, KeyInput::Digit9, el::P4_Btn(9)},
        {Page::Tempo, KeyInput::Backspace, el::P4_BtnA},
        {Page::Tempo, KeyInput::Space, el::Check2},
        {Page::Tempo, KeyInput::Enter, std::nullopt},
        {Page::Run, KeyInput::Escape, el::Cancel_img},
        {Page::Run, KeyInput::Digit1, std::nullopt},
        {Page::Answer, KeyInput::Digit1, el::P5_Btn(1)},
        {Page::Answer, KeyInput::Digit4, el::P5_Btn(4)},
        {Page::Answer, KeyInput::Digit5, std::nullopt},
        {Page::Answer, KeyInput::Escape, std::nullopt},
        {Page::Grade, KeyInput::Enter, el::P6_Btn(1)},
        {Page::Grade, KeyInput::T, el::P6_Btn(2)},
        {Page::Grade, KeyInput::K, el::P6_Btn(3)},
        {Page::Grade, KeyInput::Digit1, std::nullopt},
        {Page::Progress, KeyInput::Backspace, el::P7_BtnA},
        {Page::None, KeyInput::Escape, std::nullopt},
        {Page::None, KeyInput::Digit1, std::nullopt},
        // 記録 and the progress page's export; help on every page but the run; the help page's own keys.
        {Page::Key, KeyInput::R, el::P3_BtnC},
        {Page::Tempo, KeyInput::R, std::nullopt},
        {Page::Progress, KeyInput::C, el::P7_BtnB},
        {Page::Progress, KeyInput::Up, std::nullopt},
        {Page::System, KeyInput::F1, el::Help_Btn},
        {Page::Answer, KeyInput::F1, el::Help_Btn},
        {Page::Progress, KeyInput::F1, el::Help_Btn},
        {Page::Run, KeyInput::F1, std::nullopt},
        {Page::None, KeyInput::F1, std::nullopt},
        {Page::Help, KeyInput::F1, std::nullopt},
        {Page::Help, KeyInput::Escape, el::Help_BtnA},
        {Page::Help, KeyInput::Backspace, el::Help_BtnA},
        {Page::Help, KeyInput::S, el::Help_BtnS},
        {Page::Help, KeyInput::Digit1, std::nullopt},
        // About Tarvel: F1 is the help's on page 1 too; About is page 1's button and the help's A.
        {Page::System, KeyInput::A, std::nullopt},
        {Page::Help, KeyInput::A, el::Help_BtnB},
        {Page::About, KeyInput::Backspace, el::About_BtnA},
        {Page::About, KeyInput::Escape, el::About_BtnA},
        {Page::About, KeyInput::F1, el::Help_Btn},
        {Page::About, KeyInput::Enter, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(buttonForKey(row.key, row.page, 12), row.button)
            << static_cast<int>(row.page) << " " << static_cast<int>(row.key);
    // Every page the player can be on has its keys, F1 among them but in a run and on the help itself.
    for (const Page page : {Page::System, Page::Part, Page::Key, Page::Tempo, Page::Run, Page::Answer, Page::Grade,
                            Page::Progress, Page::About, Page::Help}) {
        EXPECT_FALSE(pageKeysText(page).empty()) << static_cast<int>(page);
        const bool helpOffered = page != Page::Run && page != Page::Help;
        EXPECT_EQ(buttonForKey(KeyInput::F1, page, 12), helpOffered ? std::optional(el::Help_Btn) : std::nullopt)
            << static_cast<int>(page);
    }
    EXPECT_EQ(buttonForKey(KeyInput::Enter, Page::Key, -1), std::nullopt) << "no key under the frame, no key";
    for (const KeyInput arrow : {KeyInput::Left, KeyInput::Down})
        EXPECT_EQ(buttonForKey(arrow, Page::Key, 12), std::nullopt) << "the arrows click nothing";
}

// Every key the pages know shows where the player looks for it: on its
// button's picture (the data set draws the cap from this table), in the
// button's tool tip, and in the help page's list for that page.
TEST(Keyboard, EveryKeyIsOnItsButtonInItsToolTipAndInTheHelp) {
    for (const KeyBinding& b : keyBindings()) {
        const std::string cap(keyCap(b.key));
        SCOPED_TRACE(std::to_string(static_cast<int>(b.page)) + " " + cap);
        EXPECT_FALSE(cap.empty());
        const std::string help = pageKeysText(b.page);
        const std::string line = isArrow(b.key) ? cap : cap + "　" + std::string(b.does);  // the arrows share a line
        EXPECT_NE(help.find(line), std::string::npos) << help;
        if (b.button < 0) continue;  // an arrow, or the key under the frame
        if (element(b.button).kind == ElementKind::CheckBox) continue;
        EXPECT_TRUE(element(b.button).button) << elementName(b.button);
        EXPECT_NE(buttonTip(b.button).find(cap), std::string::npos) << buttonTip(b.button);
        EXPECT_TRUE(keyOf(b.button).has_value());
    }
    // Every picture button says what it does; those with no key say no key.
    for (ElementId id = 0; id < el::elementCount; ++id) {
        if (!element(id).button) continue;
        EXPECT_FALSE(buttonTip(id).empty()) << elementName(id);
        if (!keyOf(id) && !(id >= el::P3_Btn(0) && id <= el::P3_Btn(28))) {
            EXPECT_EQ(buttonTip(id).find("（"), std::string::npos) << elementName(id);
        }
    }
    EXPECT_EQ(buttonTip(el::P1_Btn1), "ベーム式（1）");
    EXPECT_EQ(buttonTip(el::Help_BtnA), "もとの画面にもどる（Esc／BS）");
    EXPECT_EQ(buttonTip(el::P3_Btn(4)), "ホ長調（矢印キーで枠を動かして Enter）");
    EXPECT_EQ(buttonTip(el::Label1), "");
}

TEST(Keyboard, ArrowsWalkTheKeyGrid) {
    struct Move {
        int from;
        KeyInput arrow;
        int to;
    };
    const Move moves[] = {
        {0, KeyInput::Left, 0},                             // the first key stays
        {0, KeyInput::Right, 1},  {7, KeyInput::Right, 8},  // reading order into the next row
        {8, KeyInput::Left, 7},   {28, KeyInput::Right, 28}, {0, KeyInput::Up, 0},
        {3, KeyInput::Down, 10},  // 390 px: 352 px is the nearest of row 2
        {8, KeyInput::Up, 1},     // 88 px: 141 px is nearer than 16 px
        {7, KeyInput::Down, 14},  {15, KeyInput::Up, 8},     {15, KeyInput::Down, 22},
        {28, KeyInput::Down, 28}, {22, KeyInput::Up, 15},
    };
    for (const Move& m : moves)
        EXPECT_EQ(keyAfterArrow(m.from, m.arrow), m.to) << m.from << " " << static_cast<int>(m.arrow);
}

class KeyFrameTest : public ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        start();
    }
    std::vector<std::string> framesShown() const {
        std::vector<std::string> shown;
        for (int k = 0; k < el::keyCount; ++k)
            if (window.isShown(el::Key_frm(k))) shown.push_back(elementName(el::Key_frm(k)));
        return shown;
    }
};

TEST_F(KeyFrameTest, TheFrameStartsOnTheFirstKeyThenOnTheKeyChosenLast) {
    EXPECT_TRUE(framesShown().empty()) << "start-up hides every frame";
    toKeyPage();
    EXPECT_EQ(framesShown(), std::vector<std::string>{"Key_frm(0)"});
    click(el::P3_Btn(12));
    EXPECT_TRUE(framesShown().empty()) << "the frame goes with the key page";
    click(el::P4_BtnA);
    EXPECT_EQ(framesShown(), std::vector<std::string>{"Key_frm(12)"});
    EXPECT_EQ(program.focusedKey(), 12);
}

TEST_F(KeyFrameTest, ArrowsMoveTheFrameOnlyWhileTheKeyPageShows) {
    EXPECT_EQ(program.keyPressed(KeyInput::Right), std::nullopt);
    EXPECT_TRUE(framesShown().empty()) << "page 1: no frame to move";
    toKeyPage();
    const std::size_t from = mark();
    EXPECT_EQ(program.keyPressed(KeyInput::Right), std::nullopt) << "an arrow clicks nothing";
    EXPECT_EQ(opsSince(from), (std::vector<std::string>{"hide Key_frm(0)", "show Key_frm(1)"}));
    program.keyPressed(KeyInput::Down);  // 141 px: 88 px is the nearest of row 2
    EXPECT_EQ(framesShown(), std::vector<std::string>{"Key_frm(8)"});
    program.keyPressed(KeyInput::Up);
    program.keyPressed(KeyInput::Left);
    EXPECT_EQ(framesShown(), std::vector<std::string>{"Key_frm(0)"});
    const std::size_t atTheEdge = mark();
    program.keyPressed(KeyInput::Up);
    program.keyPressed(KeyInput::Left);
    EXPECT_EQ(mark(), atTheEdge) << "at the edge the frame stays, and nothing is drawn";
    EXPECT_EQ(program.keyPressed(KeyInput::Enter), el::P3_Btn(0)) << "Enter stands for the framed key";
    click(el::P3_BtnA);
    const std::size_t hidden = mark();
    program.keyPressed(KeyInput::Left);
    EXPECT_EQ(mark(), hidden) << "page 2: the arrows do nothing";
}

// F1 opens the help page over the page the player is on; Escape or
// Backspace takes them back to exactly that page, its frame on the same key.
TEST_F(KeyFrameTest, HelpLiesOverThePageAndGoesBackExactlyWhereThePlayerWas) {
    toKeyPage();
    for (int i = 0; i < 5; ++i) program.keyPressed(KeyInput::Right);
    const std::vector<std::string> before = window.visible();
    const std::string prompt = window.caption(el::Label1);
    const std::size_t from = mark();
    const auto help = program.keyPressed(KeyInput::F1);
    ASSERT_EQ(help, el::Help_Btn);
    click(*help);
    EXPECT_EQ(program.page(), Page::Help);
    for (const ElementId id :
         {el::Help_bg, el::Help_legend, el::Help_BtnS, el::Help_Ladder, el::Help_Keys, el::Help_BtnA})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    EXPECT_FALSE(window.isShown(el::Help_Btn));
    EXPECT_EQ(window.picture(el::Help_legend), "system\\hyouji\\help\\legend_Boe.gif") << "the system chosen";
    EXPECT_EQ(window.picture(el::Help_BtnS), "system\\hyouji\\button\\help_Oeh.gif") << "the other one a key away";
    EXPECT_EQ(window.caption(el::Help_Keys).rfind("キー（調をえらぶページ）\r\n", 0), 0u)
        << window.caption(el::Help_Keys);
    EXPECT_NE(window.caption(el::Help_Keys).find("R　記録を見る"), std::string::npos);
    EXPECT_NE(window.caption(el::Help_Ladder).find("♩=480 Ｓ→ＳＳＳ"), std::string::npos);
    for (const std::string& op : opsSince(from))
        EXPECT_TRUE(op.find("Help") != std::string::npos) << "nothing of the page underneath changes: " << op;

    // Only the help page's own keys and buttons work over it.
    EXPECT_EQ(program.keyPressed(KeyInput::Enter), std::nullopt);
    program.keyPressed(KeyInput::Left);
    click(el::P3_Btn(2));
    EXPECT_EQ(program.page(), Page::Help);
    click(*program.keyPressed(KeyInput::S));
    EXPECT_EQ(window.picture(el::Help_legend), "system\\hyouji\\help\\legend_Oeh.gif");
    EXPECT_EQ(window.picture(el::Help_BtnS), "system\\hyouji\\button\\help_Boe.gif");

    for (const KeyInput back : {KeyInput::Escape, KeyInput::Backspace}) {
        click(*program.keyPressed(back));
        EXPECT_EQ(program.page(), Page::Key);
        EXPECT_EQ(window.visible(), before);
        EXPECT_EQ(window.caption(el::Label1), prompt);
        EXPECT_EQ(program.focusedKey(), 5);
        EXPECT_EQ(program.keyPressed(KeyInput::Enter), el::P3_Btn(5)) << "the keys of the page work again";
        click(*program.keyPressed(KeyInput::F1));
    }
}

// Over the tempo page, going back must not show the tempo page anew: that
// would reset the repeat counter of grading.
TEST_F(KeyFrameTest, HelpOverTheTempoPageKeepsTheRepeatCounter) {
    toKeyPage();
    click(el::P3_Btn(1));
    state().Play_cnt = 2;
    click(el::Help_Btn);
    EXPECT_NE(window.caption(el::Help_Keys).find("Space　メトロノーム を切りかえる"), std::string::npos);
    click(el::Help_BtnA);
    EXPECT_EQ(program.page(), Page::Tempo);
    EXPECT_EQ(state().Play_cnt, 2);
    EXPECT_EQ(program.keyPressed(KeyInput::Digit5), el::P4_Btn(5));
}

}  // namespace
}  // namespace tarvel
