// tarvel-check on the built data set and on copies of it broken on purpose.
#include <gtest/gtest.h>

#include <fstream>

#include "support/driver_run.h"
#include "support/gif_fixture.h"

namespace tarvel {
namespace {

using test::BuiltDataSet;
using test::runChecker;

namespace fs = std::filesystem;

TEST(Checker, TheBuiltDataSetHasNoProblem) {
    BuiltDataSet data;
    const auto run = runChecker(data);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.lines.empty());
}

TEST(Checker, ReportsEveryKindOfBreakageWhereItIsFound) {
    BuiltDataSet data;
    fs::remove(data.path("system\\hyouji\\button\\6_code.gif"));
    data.write("system\\hyouji\\button\\4_120.gif", "not a picture");
    test::writeGif(data, "system\\hyouji\\button\\B_CS05.gif", test::solidPicture(130, 76, Qt::blue));
    fs::remove(data.path("system\\unshi\\Oeh\\R5A.gif"));
    fs::remove(data.path("system\\Linehyouji\\203.gif"));
    // An exercise with a bad note on its fifth line; one whose notes end without an end line.
    std::ifstream in(data.path("system\\onkai\\Boe\\BC\\F02.txt"), std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    in.close();
    text.replace(text.find("\r\n", text.find("\r\n", text.find("\r\n", text.find("\r\n") + 2) + 2) + 2) + 2, 1, "0");
    data.write("system\\onkai\\Boe\\BC\\F02.txt", text);
    data.write("system\\onkai\\Oeh\\BA\\S10.txt", "#3\r\n2cn0\r\n");
    fs::remove_all(data.path("system\\onkai\\Oeh\\BB\\F14"));
    data.write("system\\onkai\\Boe\\BA\\000\\second record", "");

    const auto run = runChecker(data);
    EXPECT_EQ(run.status, 1);
    const auto has = [&](const std::string& start, const std::string& what) {
        for (const std::string& line : run.lines)
            if (line.rfind(start, 0) == 0 && line.find(what) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("system/hyouji/button/6_code.gif: ", "missing"));
    EXPECT_TRUE(has("system/hyouji/button/4_120.gif: ", "not a readable picture"));
    EXPECT_TRUE(has("system/hyouji/button/B_CS05.gif: ", "130 x 76 px, at most 118 x 76"));
    EXPECT_TRUE(has("system/onkai/Oeh/", "picture system/unshi/Oeh/R5A.gif is missing"));
    EXPECT_TRUE(has("system/onkai/", "picture system/Linehyouji/203.gif is missing"));
    EXPECT_TRUE(has("system/onkai/Boe/BC/F02.txt:5: ", "octave 0"));
    EXPECT_TRUE(has("system/onkai/Oeh/BA/S10.txt:2: ", "no end line"));
    EXPECT_TRUE(has("system/onkai/Oeh/BB/F14/: ", "result folder is missing"));
    EXPECT_TRUE(has("system/onkai/Boe/BA/000/: ", "2 record files"));
    // A missing picture is told once, where it is first needed.
    int r5a = 0;
    for (const std::string& line : run.lines) r5a += line.find("R5A.gif") != std::string::npos;
    EXPECT_EQ(r5a, 1);
}

TEST(Checker, ChartLinesThatExercisesReach) {
    BuiltDataSet data;
    data.write("system\\unshi\\boe.txt", "1|1110|1110\r\n");
    const auto run = runChecker(data);
    EXPECT_EQ(run.status, 1);
    bool missingLine = false;
    for (const std::string& line : run.lines)
        missingLine |= line.find("of system/unshi/boe.txt (block") != std::string::npos;
    EXPECT_TRUE(missingLine);
}

}  // namespace
}  // namespace tarvel
