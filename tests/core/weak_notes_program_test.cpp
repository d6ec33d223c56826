// What the program makes of heard notes: each heard run kept note by note,
// page 5's intonation, the weak-notes page, the drill and the keys due today,
// and a run taken back.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include "app/heard_notes.h"
#include "data/data_paths.h"
#include "data/written_note.h"
#include "support/program_fixture.h"
#include "support/recording_desktop.h"
#include "support/recording_history.h"
#include "support/scripted_input.h"

namespace tarvel {
namespace {

using test::exerciseLines;
using test::scaleNotes;

constexpr double kCountInMs = 1500;
constexpr double kBeatMs = 500;  // P4_Btn5, 120 a minute

TEST(HeardNotes, VerdictsCentsAndTheRunsIntonation) {
    Judgement j;
    j.heard = true;
    j.marks = {Mark::Right, Mark::Wrong, Mark::Right, Mark::Silent, Mark::Right, Mark::Right, Mark::Right};
    const float none = std::numeric_limits<float>::quiet_NaN();
    j.cents = {24, none, 31, none, -3, -26, 2};
    j.extraBefore = {2, 7};  // before note 2, and after the last note
    MappedNotes notes;
    notes.Onp_code = {242, 242, 242, 212, 232, 252, 242};
    notes.Unshi_no = {70, 70, 71, 60, 65, 75, 70};
    const std::vector<HeardNote> heard = heardNotesOf(j, notes);
    ASSERT_EQ(heard.size(), 7u) << "an extra note after the last lies before none";
    EXPECT_EQ(heard[1], (HeardNote{1, 242, 70, 'x', false, std::nullopt}));
    EXPECT_EQ(heard[2], (HeardNote{2, 242, 71, 'o', true, 31.0}));
    EXPECT_TRUE(heard[2].missed()) << "a right note after an extra one counts as missed";
    EXPECT_EQ(heard[3].verdict, '-');

    struct Case {
        const char* what;
        std::vector<HeardNote> notes;
        std::string text;
    };
    const std::vector<Case> cases{
        {"the run's notes: ラ4 sharp by its median, ミ4 flat", heard,
         "音程（合っていた音）\r\n全体 +2 セント\r\n高め（20 セントより上）\r\n　ラ4 +24\r\n低め（20 "
         "セントより下）\r\n　ミ4 −26"},
        {"too few right notes say nothing", {heard[0], heard[2], heard[4]}, ""},
        {"all within 20 cents",
         {heard[4], heard[6], heard[4], heard[6]},
         "音程（合っていた音）\r\n全体 −1 セント\r\nどの音も ±20 セントの内"},
    };
    for (const Case& c : cases) EXPECT_EQ(tuningText(c.notes), c.text) << c.what;

    j.noisy = true;
    EXPECT_TRUE(heardNotesOf(j, notes).empty()) << "a room too noisy to judge leaves no verdicts";
}

class WeakNotesInProgram : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        for (const char* key : {"000", "S01"}) {
            data.writeLines(exercisePath("Boe", "BB", key), exerciseLines("#1", scaleNotes(32)));
            data.write(Result_dir("Boe", "BB", key) + "まだです", "");
        }
        program.setHistory(history);
        program.setAudioInput(input);
        program.setDesktop(desktop);
        start();
        toKeyPage();
    }
    static int sounding(int n) { return test::scaleSounding(n); }
    void player(std::function<double(int)> played) {
        input.signal = test::scalePlayer(std::move(played), kCountInMs, kBeatMs);
    }
    std::string fileText(const std::string& name) const {
        std::ifstream in(data.root() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    test::RecordingHistory history;
    test::ScriptedInput input;
    test::RecordingDesktop desktop;
};

// A player who fingers written A4 wrong once and plays every other A4 30
// cents sharp: the run keeps that, the weak-notes page shows it with its
// diagram, and the drill made of it is played and kept as a drill.
TEST_F(WeakNotesInProgram, AHeardRunTeachesTheWeakNotesAndTheDrill) {
    window.listenChecked = true;
    player([](int n) -> double {
        if (n == 5) return sounding(n) + 1;        // row 1, place 6, written A4: a wrong note
        if (n % 8 == 5) return sounding(n) + 0.3;  // every other A4: 30 cents sharp
        return sounding(n);
    });
    click(el::P3_Btn(1));
    click(el::P4_Btn(5));
    EXPECT_TRUE(window.isShown(el::Lab_Tune));
    EXPECT_NE(window.caption(el::Lab_Tune).find("ラ4 +3"), std::string::npos) << window.caption(el::Lab_Tune);
    click(el::P5_Btn(2));
    ASSERT_EQ(history.kept.size(), 1u);
    const HistoryRun& run = history.kept[0];
    EXPECT_EQ(run.heardSlips, 1);
    ASSERT_EQ(run.notes.size(), 32u);
    EXPECT_EQ(run.notes[5].verdict, 'x');
    EXPECT_EQ(run.notes[5].written, run.notes[13].written) << "both written A4";
    ASSERT_TRUE(run.notes[13].cents.has_value());
    EXPECT_NEAR(*run.notes[13].cents, 30, 5);
    EXPECT_FALSE(program.heardRun().has_value()) << "kept, then forgotten";

    click(el::P6_Btn(3));
    click(el::P3_BtnC);
    click(el::P7_BtnB);  // the export: the runs, and beside them the heard notes
    const std::string notesCsv = fileText("tarvel-history-2010-08-28-notes.csv");
    EXPECT_NE(notesCsv.find("ちがう音"), std::string::npos);
    EXPECT_NE(window.caption(el::P7_Note).find("tarvel-history-2010-08-28-notes.csv"), std::string::npos);
    click(el::P7_BtnC);
    EXPECT_EQ(program.page(), Page::Weak);
    ASSERT_EQ(program.weakShown().size(), 1u);
    EXPECT_EQ(window.caption(el::P8_Weak(0)), "ラ4　ミス 25%\r\n4 回中 1 回\r\n最後のミス 8/28");
    for (int k = 0; k < el::fingersPerNote; ++k) EXPECT_FALSE(window.picture(el::P8_Fng(k)).empty()) << k;
    EXPECT_FALSE(window.isShown(el::P8_Weak(1)));
    const auto sharp = std::find_if(window.tuneChart.points.begin(), window.tuneChart.points.end(),
                                    [](const TunePoint& p) { return p.name == "ラ4"; });
    ASSERT_NE(sharp, window.tuneChart.points.end());
    EXPECT_NEAR(sharp->cents, 30, 5);
    EXPECT_EQ(registerOf(sharp->clarinetMidi), Register::Throat) << "written A4, a throat tone";

    click(el::P8_BtnD);
    EXPECT_EQ(program.page(), Page::Tempo);
    EXPECT_EQ(state().drillExercise, "tarvel-drill.txt");
    const std::string drill = fileText("tarvel-drill.txt");
    EXPECT_EQ(drill.substr(0, 4), "#1\r\n");
    EXPECT_EQ(program.drillNotes(), 32);
    EXPECT_NE(window.caption(el::Where_lbl).find("苦手ドリル"), std::string::npos);

    window.listenChecked = false;
    const auto recordsBefore = data.names(Result_dir("Boe", "BB", "S01"));
    click(el::P4_Btn(5));
    click(el::P5_Btn(1));
    ASSERT_EQ(history.kept.size(), 2u);
    EXPECT_EQ(history.kept[1].kind, "drill");
    EXPECT_EQ(data.names(Result_dir("Boe", "BB", "S01")), recordsBefore) << "a drill writes no key's record";
    EXPECT_NE(window.caption(el::Record_lbl).find("苦手ドリル"), std::string::npos);

    click(el::P6_Btn(3));
    EXPECT_TRUE(state().drillExercise.empty()) << "the key page ends the drill";
    EXPECT_EQ(state().Settings[6], "1") << "the key's own exercise is loaded next";
}

TEST_F(WeakNotesInProgram, NothingHeardYetSaysHowToFillThePage) {
    click(el::P3_BtnC);
    click(el::P7_BtnC);
    EXPECT_NE(window.caption(el::P8_Note).find("マイクで聴く"), std::string::npos);
    EXPECT_FALSE(window.isShown(el::P8_BtnD));
    EXPECT_TRUE(window.tuneChart.points.empty());
    click(el::P8_BtnA);
    EXPECT_EQ(program.page(), Page::Progress);
}

// Keys rest by their best grade: ＡＡＡ four days, Ｂ two; T starts the first due.
TEST_F(WeakNotesInProgram, TheKeyPageMarksTheKeysDueAndTStartsTheFirst) {
    auto graded = [](const char* at, const char* key, const char* grade, int gradeNo) {
        return HistoryRun{at, "Boe", "BB", key, "120", "0", grade, gradeNo, std::nullopt, std::string(kKeyRun), {}};
    };
    history.kept = {graded("2010-08-25 10:00:00", "000", "ＡＡＡ", 11),   // rests until 8/29
                    graded("2010-08-25 10:00:00", "S01", "Ｂ", 8),        // due since 8/27
                    graded("2010-08-20 10:00:00", "S02", "ＳＳＳ", 14)};  // due since 8/28
    click(el::P3_BtnA);
    click(el::P2_Btn1);
    EXPECT_EQ(program.dueKeys(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(window.isShown(el::Due_lbl(1)));
    EXPECT_FALSE(window.isShown(el::Due_lbl(0)));
    EXPECT_NE(window.caption(el::Due_note).find("ト長調・ニ長調"), std::string::npos) << window.caption(el::Due_note);
    EXPECT_EQ(program.keyPressed(KeyInput::T), el::P3_Btn(1));
}

TEST_F(WeakNotesInProgram, ARunIsTakenBackOnlyOnceThePlayerAgrees) {
    click(el::P3_Btn(1));
    click(el::P4_Btn(5));
    click(el::P5_Btn(1));  // Ｂ
    click(el::P6_Btn(1));
    click(el::P5_Btn(4));  // Ｉ: a mistaken answer
    const auto records = data.names(Result_dir("Boe", "BB", "S01"));
    click(el::P6_Btn(3));
    click(el::P3_BtnC);
    ASSERT_TRUE(window.isShown(el::P7_BtnD));

    desktop.agrees = false;
    click(el::P7_BtnD);
    EXPECT_EQ(history.kept.size(), 2u);
    desktop.agrees = true;
    ASSERT_EQ(program.keyPressed(KeyInput::Delete), el::P7_BtnD);
    click(el::P7_BtnD);  // no row chosen: the newest
    ASSERT_EQ(history.kept.size(), 1u);
    EXPECT_EQ(history.kept[0].grade, "Ｂ");
    EXPECT_NE(desktop.calls.back().find("Ｉ"), std::string::npos) << "the question names the run";
    EXPECT_EQ(window.table.rows.size(), 1u);
    EXPECT_EQ(data.names(Result_dir("Boe", "BB", "S01")), records) << "the key's record is left as it is";
}

}  // namespace
}  // namespace tarvel
