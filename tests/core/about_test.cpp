// About Tarvel, and what the program asks of the desktop: the save dialog of
// the export and the file manager.
#include <gtest/gtest.h>

#include <fstream>

#include "app/about.h"
#include "app/keyboard.h"
#include "data/data_paths.h"
#include "support/program_fixture.h"
#include "support/recording_desktop.h"
#include "support/recording_history.h"

namespace tarvel {
namespace {

TEST(About, SizesAndWhatTheHistoryHolds) {
    const std::pair<std::uintmax_t, const char*> sizes[] = {
        {0, "0 バイト"}, {1023, "1023 バイト"}, {1024, "1 KB"}, {49663, "48 KB"}, {1258291, "1.2 MB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(sizeText(bytes), text) << bytes;

    struct Case {
        bool kept;
        std::optional<HistorySummary> history;
        const char* line;
    };
    const Case cases[] = {
        {true, HistorySummary{"/d/h.sqlite", true, 49663, 42}, "記録の履歴：42 回分、48 KB"},
        {true, HistorySummary{"/d/h.sqlite", false, 0, 0}, "記録の履歴：まだありません（最初の成績で作ります）"},
        {true, std::nullopt, "記録の履歴：読めません"},
        {false, std::nullopt, "記録の履歴：つけていません"},
    };
    for (const Case& c : cases) {
        const std::string text = aboutText("/home/ふみ/.local/share/tarvel", c.kept, c.history);
        EXPECT_EQ(text.rfind("Tarvel " + std::string(programVersion()) + "\r\n", 0), 0u) << text;
        EXPECT_NE(text.find("GPL-3.0-or-later"), std::string::npos) << text;
        // The folder stands alone on its line, so that it is never broken.
        EXPECT_NE(text.find("\r\n/home/ふみ/.local/share/tarvel\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
    }
    EXPECT_NE(programVersion(), "unknown");
}

class AboutInProgram : public test::ProgramTest {
protected:
    void SetUp() override {
        program.setHistory(history);
        program.setDesktop(desktop);
        start();
    }
    test::RecordingHistory history;
    test::RecordingDesktop desktop;
};

TEST_F(AboutInProgram, FromPageOneAndBack) {
    EXPECT_TRUE(window.isShown(el::About_Btn));
    click(el::About_Btn);
    for (ElementId id : {el::title_img, el::P1_Btn1, el::P1_Btn2, el::P1_Btn3, el::About_Btn})
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
    for (ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    EXPECT_EQ(window.picture(el::About_BtnB), "system\\hyouji\\button\\8_folder.gif");
    const std::string folder = files.fullPath(".");
    EXPECT_NE(window.caption(el::About_lbl).find("\r\n" + folder + "\r\n"), std::string::npos)
        << window.caption(el::About_lbl);
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　Tarvel について");
    EXPECT_FALSE(window.isShown(el::About_ttl)) << "page 1's message label carries the title";

    click(el::About_BtnB);
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"open " + folder});
    EXPECT_TRUE(window.messages().empty());
    desktop.opens = false;
    click(el::About_BtnB);
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_NE(window.messages()[0].find(folder), std::string::npos) << window.messages()[0];

    click(el::About_BtnA);
    for (ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl})
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
    for (ElementId id : {el::title_img, el::P1_Btn1, el::About_Btn}) EXPECT_TRUE(window.isShown(id)) << elementName(id);
    EXPECT_EQ(window.caption(el::Label1), "");
}

// From the help, About lies on the help's background: the page under the
// help keeps its caption, and back goes to the help, then to the page exactly
// as it was. Over About itself the help offers no way to About.
TEST_F(AboutInProgram, FromTheHelpBackToTheHelpOverItsPage) {
    writePlainChart();
    toKeyPage();
    program.keyPressed(KeyInput::Right);
    const std::vector<std::string> before = window.visible();
    const std::string prompt = window.caption(el::Label1);
    click(*program.keyPressed(KeyInput::F1));
    EXPECT_TRUE(window.isShown(el::Help_BtnB));
    EXPECT_EQ(buttonTip(el::Help_BtnB), "Tarvel について（A）");

    click(*program.keyPressed(KeyInput::A));
    EXPECT_EQ(program.page(), Page::About);
    for (ElementId id : {el::Help_bg, el::About_BtnA, el::About_BtnB, el::About_lbl})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    for (ElementId id : {el::Help_legend, el::Help_Keys, el::Help_BtnA, el::Help_BtnB, el::Help_Btn})
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
    EXPECT_EQ(window.caption(el::Label1), prompt) << "the key page's prompt, under the help";
    EXPECT_TRUE(window.isShown(el::About_ttl));
    EXPECT_EQ(window.caption(el::About_ttl), "\r\n　　　Tarvel について");
    EXPECT_EQ(program.keyPressed(KeyInput::F1), std::nullopt) << "no help over About over the help";
    const std::size_t quiet = mark();
    for (ElementId id : {el::P3_Btn(2), el::P3_BtnA, el::Help_BtnA, el::Help_Btn}) click(id);
    EXPECT_EQ(mark(), quiet) << "only About's buttons take clicks";

    click(*program.keyPressed(KeyInput::Escape));
    EXPECT_EQ(program.page(), Page::Help);
    for (ElementId id : {el::Help_bg, el::Help_legend, el::Help_Keys, el::Help_BtnA, el::Help_BtnB})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    for (ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl, el::About_ttl})
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
    click(*program.keyPressed(KeyInput::Backspace));
    EXPECT_EQ(program.page(), Page::Key);
    EXPECT_EQ(window.visible(), before);
    EXPECT_EQ(program.focusedKey(), 1);

    // Page 1's About, with the help over it.
    click(el::P3_BtnB);
    click(el::About_Btn);
    EXPECT_TRUE(window.isShown(el::Help_Btn));
    click(*program.keyPressed(KeyInput::F1));
    EXPECT_NE(window.caption(el::Help_Keys).find("BS　もとの画面にもどる"), std::string::npos);
    EXPECT_FALSE(window.isShown(el::Help_BtnB));
    for (ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl})
        EXPECT_FALSE(window.isShown(id)) << elementName(id) << " would lie over the help";
    EXPECT_EQ(program.keyPressed(KeyInput::A), std::nullopt);
    click(*program.keyPressed(KeyInput::Escape));
    EXPECT_EQ(program.page(), Page::About);
    for (ElementId id : {el::About_BtnA, el::About_BtnB, el::About_lbl})
        EXPECT_TRUE(window.isShown(id)) << elementName(id);
    click(*program.keyPressed(KeyInput::Backspace));
    EXPECT_EQ(program.page(), Page::System);
}

TEST_F(AboutInProgram, TheExportAsksWhereAndWritesThere) {
    history.kept.push_back(HistoryRun{
        "2010-08-28 10:00:00", "Oeh", "BC", "S01", "120", "0", "ＡＡ", 10, std::nullopt, std::string(kKeyRun), {}});
    window.date = {2010, 8, 28};
    click(el::P1_Btn3);
    click(el::P2_Btn1);
    click(el::P3_BtnC);
    const std::string proposed = files.fullPath("tarvel-history-2010-08-28.csv");
    const std::string before = window.caption(el::P7_Note);

    desktop.cancel = true;
    click(el::P7_BtnB);
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"save 記録を CSV に書き出す " + proposed});
    EXPECT_FALSE(std::filesystem::exists(proposed)) << "cancelled: nothing written";
    EXPECT_EQ(window.caption(el::P7_Note), before);

    desktop.cancel = false;
    const std::filesystem::path elsewhere = data.root() / "先生へ.csv";
    desktop.answer = elsewhere.string();
    click(el::P7_BtnB);
    EXPECT_FALSE(std::filesystem::exists(proposed));
    std::ifstream csv(elsewhere, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(csv), {});
    EXPECT_NE(text.find(",エーラー式,C管,S01,"), std::string::npos) << text;
    EXPECT_EQ(window.caption(el::P7_Note), "記録 1 回分を CSV に書き出しました：\r\n" + elsewhere.string());

    desktop.answer = (data.root() / "a\\b.csv").string();
    click(el::P7_BtnB);
    EXPECT_EQ(window.caption(el::P7_Note).rfind("名前に「\\」のある場所には書き出せません", 0), 0u)
        << window.caption(el::P7_Note);
}

}  // namespace
}  // namespace tarvel
