// Page 5's small staff: which rows it shows, and each slip marked on its note.
#include <gtest/gtest.h>

#include "app/slip_score.h"
#include "data/data_paths.h"
#include "support/program_fixture.h"
#include "support/scripted_input.h"

namespace tarvel {
namespace {

SlipMarks marks(int notes, std::vector<int> wrong, std::vector<int> extraAfter = {}) {
    SlipMarks slips{std::vector<Mark>(static_cast<std::size_t>(notes), Mark::Right), std::move(extraAfter)};
    for (const int n : wrong) slips.marks[static_cast<std::size_t>(n)] = Mark::Wrong;
    return slips;
}

TEST(SlipScore, RowsShownAreAllOrThoseWithASlip) {
    struct Case {
        const char* what;
        SlipMarks slips;
        int rows;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"two rows: both", marks(32, {}), 2, {0, 1}},
        {"three rows: all, slips or not", marks(48, {40}), 3, {0, 1, 2}},
        {"more rows: those with a slip", marks(96, {70, 20}), 6, {1, 4}},
        {"an extra note counts", marks(96, {70}, {47}), 6, {2, 4}},
        {"one before the first note counts for the first row", marks(96, {70}, {-1}), 6, {0, 4}},
        {"at most three, from the first", marks(96, {5, 20, 40, 90}), 6, {0, 1, 2}},
        {"no slip: the first rows", marks(96, {}), 6, {0, 1, 2}},
    };
    for (const Case& c : cases) EXPECT_EQ(scoreRowsShown(c.slips, c.rows, 3), c.shown) << c.what;
}

// The judge hears an extra note before note k; the staff draws it after note k - 1.
TEST(SlipScore, AnExtraNoteBeforeANoteStandsAfterTheOneBefore) {
    Judgement j;
    j.marks = std::vector<Mark>(32, Mark::Right);
    j.marks[3] = Mark::Silent;
    j.extraBefore = {0, 10, 32};
    const SlipMarks slips = slipMarksOf(j);
    EXPECT_EQ(slips.marks, j.marks);
    EXPECT_EQ(slips.extraAfter, (std::vector<int>{-1, 9, 31}));
}

class SlipScoreTest : public test::ProgramTest {
protected:
    void SetUp() override {
        writePlainChart();
        data.writeLines(exercisePath("Boe", "BB", "S01"), test::exerciseLines("#1", test::scaleNotes(32)));
        program.setAudioInput(input);
        start();
        click(el::P1_Btn1);
        click(el::P2_Btn1);
        click(el::P3_Btn(1));
        window.listenChecked = true;
    }
    test::ScriptedInput input;
};

// Heard as the listening test's player with two slips: note 5 a semitone
// sharp, note 20 not played (a quiet room otherwise: nothing heard at all
// leaves the staff out, see below).
TEST_F(SlipScoreTest, EachSlipIsMarkedOnItsNoteAndTheListStays) {
    input.signal = [](double ms) {
        const double notes = ms - 1500 - 4 * 500 - 60;
        if (notes < 0 || notes >= 32 * 500) return 0.0f;
        const int n = static_cast<int>(notes / 500);
        static const int steps[] = {0, 2, 4, 5, 7, 9, 11, 12};
        const double pitch = n == 20 ? 0 : 58 + steps[n % 8] + (n == 5 ? 1 : 0);
        return pitch > 0 && notes - n * 500 < 450 ? test::tone(pitch, ms) : 0.0f;
    };
    click(el::P4_Btn(5));
    ASSERT_TRUE(program.heardRun().has_value());
    EXPECT_TRUE(window.isShown(el::Lab_Miss)) << "the list stays, for screen readers";
    EXPECT_EQ(window.picture(el::P5_Choshi), "system\\hyouji\\mini\\choshi\\3222222.gif");
    EXPECT_EQ(window.picture(el::P5_Staff(0)), "system\\hyouji\\mini\\5line_1.gif");
    EXPECT_EQ(window.picture(el::P5_Staff(1)), "system\\hyouji\\mini\\5line.gif");
    EXPECT_FALSE(window.isShown(el::P5_Staff(2))) << "a run of two rows";
    EXPECT_EQ(window.caption(el::P5_Row(1)), "2 段目");
    for (int i = 0; i < 32; ++i) {
        EXPECT_TRUE(window.isShown(el::P5_Note(i))) << i;
        EXPECT_EQ(window.picture(el::P5_Note(i)),
                  "system\\Linehyouji\\mini\\" + window.picture(el::onp_img(i)).substr(18))
            << i;
        EXPECT_EQ(window.isShown(el::P5_Mark(i)), i == 5 || i == 20) << i;
        EXPECT_FALSE(window.isShown(el::P5_Extra(i))) << i;
    }
    EXPECT_EQ(window.picture(el::P5_Mark(5)), "system\\hyouji\\mini\\wrong\\24.gif") << "A4: a4 in the picture codes";
    EXPECT_EQ(window.picture(el::P5_Mark(20)), "system\\hyouji\\mini\\silent\\22.gif") << "G4";
    EXPECT_TRUE(window.isShown(el::P5_Legend));

    // Help over page 5 keeps the staff; an answer takes it away.
    click(el::Help_Btn);
    click(el::Help_BtnA);
    EXPECT_TRUE(window.isShown(el::P5_Mark(5)));
    click(el::P5_Btn(2));
    for (ElementId id = el::kScoreFirst; id <= el::P5_ExtraFirst; ++id)
        EXPECT_FALSE(window.isShown(id)) << elementName(id);
}

// A foreign pitch at the start of the first beat, and one after note 9
// (before note 10): each stands between the notes it came between, and the
// list names them.
TEST_F(SlipScoreTest, ExtraNotesStandBetweenTheNotesTheyCameBetween) {
    input.signal = [](double ms) {
        const double notes = ms - 1500 - 4 * 500 - 60;
        if (notes < 0 || notes >= 32 * 500) return 0.0f;
        const int n = static_cast<int>(notes / 500);
        const double at = notes - n * 500;
        static const int steps[] = {0, 2, 4, 5, 7, 9, 11, 12};
        const double own = 58 + steps[n % 8];
        if (n == 0 && at < 150) return test::tone(own + 6, ms);
        if (n == 9 && at >= 250 && at < 450) return test::tone(own + 6, ms);
        return at < 450 ? test::tone(own, ms) : 0.0f;
    };
    click(el::P4_Btn(5));
    ASSERT_TRUE(program.heardRun().has_value());
    EXPECT_EQ(program.heardRun()->extraBefore, (std::vector<int>{0, 10}));
    EXPECT_TRUE(window.isShown(el::P5_ExtraFirst));
    EXPECT_EQ(window.picture(el::P5_ExtraFirst), "system\\hyouji\\mini\\extra.gif");
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(window.isShown(el::P5_Extra(i)), i == 9) << i;
        EXPECT_FALSE(window.isShown(el::P5_Mark(i))) << i;
    }
    const std::string list = window.caption(el::Lab_Miss);
    EXPECT_NE(list.find("1 段目の 1 番目の前　余分な音"), std::string::npos) << list;
    EXPECT_NE(list.find("1 段目の 10 番目と次のあいだ　余分な音"), std::string::npos) << list;
    click(el::P5_Btn(2));
    EXPECT_FALSE(window.isShown(el::P5_ExtraFirst));
}

TEST_F(SlipScoreTest, NothingHeardShowsNoStaff) {
    click(el::P4_Btn(5));
    ASSERT_TRUE(program.heardRun().has_value());
    EXPECT_TRUE(window.isShown(el::Lab_Miss));
    EXPECT_FALSE(window.isShown(el::P5_Staff(0)));
}

}  // namespace
}  // namespace tarvel
