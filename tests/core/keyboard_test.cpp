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
        {Page::System, KeyInput::Digit1, el::P1_Btn1},      {Page::System, KeyInput::Digit2, el::P1_Btn2},
        {Page::System, KeyInput::Digit3, std::nullopt},  // the unmarked square has no key: it is not meant to be found
        {Page::System, KeyInput::Backspace, std::nullopt},  {Page::Part, KeyInput::Digit1, el::P2_Btn1},
        {Page::Part, KeyInput::Digit3, el::P2_Btn3},        {Page::Part, KeyInput::Digit4, std::nullopt},
        {Page::Part, KeyInput::Backspace, el::P2_Btn4},     {Page::Key, KeyInput::Enter, el::P3_Btn(12)},
        {Page::Key, KeyInput::Backspace, el::P3_BtnA},      {Page::Key, KeyInput::Home, el::P3_BtnB},
        {Page::Key, KeyInput::Space, el::Check1},           {Page::Key, KeyInput::Digit1, std::nullopt},
        {Page::Tempo, KeyInput::Digit0, std::nullopt},      {Page::Tempo, KeyInput::Digit1, el::P4_Btn(1)},
        {Page::Tempo, KeyInput::Digit5, el::P4_Btn(5)},     {Page::Tempo, KeyInput::Digit9, el::P4_Btn(9)},
        {Page::Tempo, KeyInput::Backspace, el::P4_BtnA},    {Page::Tempo, KeyInput::Space, el::Check2},
        {Page::Tempo, KeyInput::Enter, std::nullopt},       {Page::Run, KeyInput::Escape, el::Cancel_img},
        {Page::Run, KeyInput::Digit1, std::nullopt},        {Page::Answer, KeyInput::Digit1, el::P5_Btn(1)},
        {Page::Answer, KeyInput::Digit4, el::P5_Btn(4)},    {Page::Answer, KeyInput::Digit5, std::nullopt},
        {Page::Answer, KeyInput::Escape, std::nullopt},     {Page::Grade, KeyInput::Enter, el::P6_Btn(1)},
        {Page::Grade, KeyInput::T, el::P6_Btn(2)},          {Page::Grade, KeyInput::K, el::P6_Btn(3)},
        {Page::Grade, KeyInput::Digit1, std::nullopt},      {Page::Progress, KeyInput::Backspace, el::P7_BtnA},
        {Page::None, KeyInput::Escape, std::nullopt},       {Page::None, KeyInput::Digit1, std::nullopt},
        {Page::System, KeyInput::F1, el::About_Btn},        {Page::Key, KeyInput::F1, std::nullopt},
        {Page::About, KeyInput::Backspace, el::About_BtnA},
    };
    for (const Row& row : rows)
        EXPECT_EQ(buttonForKey(row.key, row.page, 12), row.button)
            << static_cast<int>(row.page) << " " << static_cast<int>(row.key);
    EXPECT_EQ(buttonForKey(KeyInput::Enter, Page::Key, -1), std::nullopt) << "no key under the frame, no key";
    for (const KeyInput arrow : {KeyInput::Left, KeyInput::Down})
        EXPECT_EQ(buttonForKey(arrow, Page::Key, 12), std::nullopt) << "the arrows click nothing";
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
        data.writeLines("system\\unshi\\boe.txt", std::vector<std::string>(501, "1|1110|1110"));
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

}  // namespace
}  // namespace tarvel
