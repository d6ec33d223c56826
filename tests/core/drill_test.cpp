// The notes a player misses, how they tune, when each comes back, and the
// drill made of them: pure functions of the practice log.
#include <gtest/gtest.h>

#include "data/exercise_file.h"
#include "drill/drill_exercise.h"
#include "drill/spacing.h"
#include "drill/weak_notes.h"
#include "run/note_mapping.h"

namespace tarvel {
namespace {

NoteDay day(const char* date, std::int16_t written, int heard, int missed, double cents = 0, int measured = 0) {
    NoteDay d;
    d.day = date;
    d.written = written;
    d.chartLine = static_cast<std::int16_t>(written);  // any fingering will do here
    d.heard = heard;
    d.missed = missed;
    if (missed > 0) d.lastMissedAt = std::string(date) + " 10:00:00";
    d.centsSum = cents * measured;
    d.centsCount = measured;
    return d;
}

TEST(WeakNotes, TheMostMissedFirstWithinThirtyDays) {
    const std::vector<NoteDay> log{
        day("2026-12-01", 303, 10, 5),  // F♯5: half missed
        day("2026-12-06", 303, 10, 0),  //   then right all day: 5 of 20
        day("2026-12-07", 242, 4, 2),   // A4: half missed, fewer times
        day("2026-12-05", 252, 8, 4),   // E4: half missed, 4 of 8
        day("2026-11-01", 222, 9, 9),   // G4: every time, but 36 days ago
        day("2026-12-07", 212, 6, 0),   // C4: never missed
    };
    const auto weak = weakNotes(log, "2026-12-07");
    std::vector<std::int16_t> order;
    for (const WeakNote& w : weak) order.push_back(w.written);
    EXPECT_EQ(order, (std::vector<std::int16_t>{252, 242, 303}));  // 50 % (4 times), 50 % (2), 25 %
    EXPECT_DOUBLE_EQ(weak[2].missRate, 0.25);
    EXPECT_EQ(weak[2].heard, 20);
    EXPECT_EQ(weak[2].lastMissedAt, "2026-12-01 10:00:00");
    EXPECT_TRUE(weakNotes(log, "not a day").empty());
}

TEST(WeakNotes, TendenciesAreMeansOfRightNotesLowestFirst) {
    const std::vector<NoteDay> log{day("2026-12-07", 252, 5, 0, +20, 4), day("2026-12-06", 252, 5, 0, +10, 4),
                                   day("2026-12-07", 303, 5, 0, -30, 2), day("2026-10-01", 212, 5, 0, +50, 5)};
    const auto t = tuningTendencies(log, "2026-12-07");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].written, 252);  // E4 below F♯5
    EXPECT_DOUBLE_EQ(t[0].cents, 15);
    EXPECT_EQ(t[0].count, 8);
    EXPECT_EQ(t[1].written, 303);
    EXPECT_DOUBLE_EQ(t[1].cents, -30);
}

// A missed note is due at once; right on a day it is due it moves a box on
// (then rests 1, then 2 days); right on three different days it has left the
// drill; missed again, it is back in the first box.
TEST(Spacing, ANoteLeavesAfterThreeRightDaysAndComesBackWhenMissed) {
    struct Step {
        const char* date;
        int missed;
        int box;
        const char* due;
    };
    const Step steps[] = {
        {"2026-12-01", 1, 0, "2026-12-01"}, {"2026-12-01", 0, 0, "2026-12-01"},  // right the same day: still box 0
        {"2026-12-02", 0, 1, "2026-12-03"}, {"2026-12-02", 0, 1, "2026-12-03"},  // twice in a day counts once
        {"2026-12-03", 0, 2, "2026-12-05"}, {"2026-12-04", 0, 2, "2026-12-05"},  // too soon: waits
        {"2026-12-05", 0, 3, "2026-12-09"}, {"2026-12-09", 1, 0, "2026-12-09"},  // left; then missed again
    };
    std::vector<NoteDay> log;
    for (const Step& s : steps) {
        // The log holds one line a note and day: a step on the same day adds to it.
        if (!log.empty() && log.back().day == s.date) {
            log.back().heard += 1;
            log.back().missed += s.missed;
        } else {
            log.push_back(day(s.date, 252, 1, s.missed));
        }
        const auto boxes = noteBoxes(log);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].box, s.box) << s.date;
        EXPECT_EQ(boxes[0].dueDay, s.due) << s.date;
    }
    // A note right before it was ever missed is not the drill's.
    EXPECT_TRUE(noteBoxes({day("2026-12-01", 212, 3, 0)}).empty());
}

TEST(Spacing, TheDrillTakesTheDueNotesMostMissedFirst) {
    const std::vector<NoteBox> boxes{
        {252, 0, "2026-12-07"}, {242, 1, "2026-12-08"}, {303, 2, "2026-12-06"}, {212, 3, "2026-12-01"}};
    EXPECT_EQ(drillTargets(boxes, {212, 242, 303, 252}, "2026-12-07", 12), (std::vector<std::int16_t>{303, 252}));
    EXPECT_EQ(drillTargets(boxes, {212, 242, 303, 252}, "2026-12-07", 1), (std::vector<std::int16_t>{303}));
}

TEST(Spacing, KeysAreDueByTheirBestGrade) {
    struct Row {
        int grade;
        int rest;
    };
    for (const Row r : {Row{1, 1}, Row{4, 1}, Row{5, 2}, Row{8, 2}, Row{9, 4}, Row{11, 4}, Row{12, 8}, Row{14, 8}})
        EXPECT_EQ(restDaysForGrade(r.grade), r.rest) << r.grade;
    const std::vector<KeyPractice> keys{
        {0, "2026-12-06", 2},   // Ｈ, a day ago: due (1.0)
        {1, "2026-12-06", 14},  // ＳＳＳ, a day ago: rests
        {2, "2026-11-27", 14},  // ＳＳＳ, ten days ago: due (1.25)
        {3, "2026-12-04", 6},   // Ｄ, three days ago: due (1.5)
        {4, "", 6},             // never graded here: not the spacing's
    };
    EXPECT_EQ(dueKeys(keys, "2026-12-07"), (std::vector<int>{3, 2, 0}));
}

// The drill is an exercise the run reads: the key's line, each note between
// its neighbours in the key, whole rows, 32 to 48 notes.
TEST(DrillExercise, NeighboursInTheKeyWholeRowsReadByTheRun) {
    struct Case {
        const char* key;
        std::vector<DrillNote> targets;
        std::size_t notes;
        std::vector<std::string> firstFour;
    };
    const std::vector<Case> cases{
        // F♯4 in E major (four sharps): below E4, above G♯4.
        {"S04", {{203, 0}}, 32, {"2en0", "2f#0", "2g#0", "2f#0"}},
        // B♭3 in F major (one flat), its second fingering: A3 below, C4 above across the octave.
        {"F01", {{161, 1}}, 32, {"1an0", "1bb1", "2cn0", "1bb1"}},
        // Nine notes make 36, rounded up to 48.
        {"000", std::vector<DrillNote>(9, DrillNote{212, 0}), 48, {"1bn0", "2cn0", "2dn0", "2cn0"}},
    };
    for (const Case& c : cases) {
        const auto lines = drillExercise(c.targets, c.key, [](std::int16_t) { return true; });
        ASSERT_EQ(lines.size(), c.notes + 2) << c.key;
        EXPECT_EQ(lines.front(), keyLineOf(c.key)) << c.key;
        EXPECT_EQ(lines.back(), "") << "the end line";
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 5), c.firstFour) << c.key;
        const auto read = readExercise(lines, "BB", false);
        ASSERT_TRUE(std::holds_alternative<LoadedExercise>(read)) << c.key;
        EXPECT_EQ(std::get<LoadedExercise>(read).notes.Onp_code.size(), c.notes) << c.key;
    }
    // A neighbour out of the instrument's range gives way to the other one.
    const auto low = drillExercise({{152, 0}}, "000", [](std::int16_t w) {
        return writtenPitchOrder(w) >= writtenPitchOrder(152);  // E3, the lowest
    });
    EXPECT_EQ(std::vector<std::string>(low.begin() + 1, low.begin() + 5),
              (std::vector<std::string>{"1fn0", "1en0", "1fn0", "1en0"}));
}

}  // namespace
}  // namespace tarvel
