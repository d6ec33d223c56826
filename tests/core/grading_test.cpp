// The grade from tempo, answer and repeat counter, for every tempo and answer.
#include <gtest/gtest.h>

#include "grade/grading.h"

namespace tarvel {
namespace {

// Tempo, then the grade of a "0" answer at counter 1, 2 and 3, then of "1", "2", "3".
const struct {
    const char* tempo;
    const char* grades[6];
} kTable[] = {
    {"30", {"Ｆ", "Ｅ", "Ｄ", "Ｇ", "Ｈ", "Ｉ"}},
    {"42", {"Ｅ", "Ｄ", "Ｃ", "Ｆ", "Ｇ", "Ｉ"}},
    {"60", {"Ｄ", "Ｃ", "Ｂ", "Ｅ", "Ｆ", "Ｉ"}},
    {"85", {"Ｃ", "Ｂ", "Ａ", "Ｄ", "Ｅ", "Ｉ"}},
    {"120", {"Ｂ", "Ａ", "ＡＡ", "Ｃ", "Ｄ", "Ｉ"}},
    {"170", {"Ａ", "ＡＡ", "ＡＡＡ", "Ｂ", "Ｃ", "Ｉ"}},
    {"240", {"ＡＡ", "ＡＡＡ", "Ｓ", "Ａ", "Ｂ", "Ｉ"}},
    {"340", {"ＡＡＡ", "Ｓ", "ＳＳ", "ＡＡ", "Ａ", "Ｉ"}},
    {"480", {"Ｓ", "ＳＳ", "ＳＳＳ", "ＡＡＡ", "ＡＡ", "Ｉ"}},
};

TEST(Grading, EveryTempoAndAnswer) {
    for (const auto& row : kTable) {
        for (std::int16_t before = 0; before < 3; ++before) {
            const Grade g = gradeRun(row.tempo, "0", before);
            EXPECT_EQ(g.text, row.grades[before]) << row.tempo << " counter " << before;
            EXPECT_EQ(g.Play_cnt, before + 1);
        }
        for (int answer = 1; answer <= 3; ++answer) {
            for (std::int16_t before = 0; before <= 3; ++before) {
                const Grade g = gradeRun(row.tempo, std::to_string(answer), before);
                EXPECT_EQ(g.text, row.grades[2 + answer]) << row.tempo << " answer " << answer;
                EXPECT_EQ(g.Play_cnt, 1);
            }
        }
    }
}

TEST(Grading, RepeatCounterWrapsAfterThree) {
    // Four "0" answers in a row at tempo 60: D, C, B, then D again.
    std::int16_t counter = 0;
    std::string grades;
    for (int i = 0; i < 4; ++i) {
        const Grade g = gradeRun("60", "0", counter);
        counter = g.Play_cnt;
        grades += std::string(g.text) + " ";
    }
    EXPECT_EQ(grades, "Ｄ Ｃ Ｂ Ｄ ");
}

TEST(Grading, AnotherAnswerRestartsTheCount) {
    // At 120: "0" B, "0" A, "1" C, and the "0" after it counts as the second.
    std::int16_t counter = 0;
    std::string grades;
    for (const char* answer : {"0", "0", "1", "0"}) {
        const Grade g = gradeRun("120", answer, counter);
        counter = g.Play_cnt;
        grades += std::string(g.text) + " ";
    }
    EXPECT_EQ(grades, "Ｂ Ａ Ｃ Ａ ");
}

TEST(Grading, UnknownTextsAreGradedLikeTheFastestTempo) {
    EXPECT_EQ(gradeRun("999", "0", 0).text, "Ｓ");
    EXPECT_EQ(gradeRun("", "0", 2).text, "ＳＳＳ");
    EXPECT_EQ(gradeRun("60", "9", 0).text, "Ｄ");  // an unknown answer keeps the points and restarts the count
    EXPECT_EQ(gradeRun("60", "9", 0).Play_cnt, 1);
    EXPECT_EQ(gradeText(0), "ＳＳＳ");
    EXPECT_EQ(gradeText(15), "ＳＳＳ");
    EXPECT_EQ(gradeText(1), "Ｉ");
}

}  // namespace
}  // namespace tarvel
