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
    // A result folder that is a link; an exercise whose read fails; a picture declaring a huge size.
    fs::create_directories(data.root() / "elsewhere");
    fs::remove_all(data.path("system\\onkai\\Oeh\\BC\\S01"));
    fs::create_directory_symlink(data.root() / "elsewhere", data.path("system\\onkai\\Oeh\\BC\\S01"));
    fs::remove(data.path("system\\onkai\\Oeh\\BC\\S02.txt"));
    fs::create_symlink("/proc/self/mem", data.path("system\\onkai\\Oeh\\BC\\S02.txt"));
    const unsigned char huge[] = {'G',  'I',  'F',  '8',  '9',  'a',  0xE0, 0x15, 0xE0, 0x15, 0x80, 0,
                                  0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0x2C, 0,    0,    0,    0,
                                  0xE0, 0x15, 0xE0, 0x15, 0,    2,    2,    0x4C, 0x01, 0,    0x3B};
    data.write("system\\hyouji\\button\\B_CS06.gif", std::string(reinterpret_cast<const char*>(huge), sizeof huge));
    // Twins drawn at twice the size: one missing, one no larger than its picture.
    fs::remove(data.path("system\\hyouji\\button\\6_more@2x.gif"));
    test::writeGif(data, "system\\hyouji\\choshi\\2222222@2x.gif", test::solidPicture(152, 200, Qt::black));

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
    EXPECT_TRUE(has("system/onkai/Boe/BA/000/: ", "'second record'"));
    EXPECT_TRUE(has("system/onkai/Oeh/BC/S01/: ", "symbolic link"));
    EXPECT_TRUE(has("system/onkai/Oeh/BC/S02.txt: ", "cannot be read (読み書きのエラーです"));
    EXPECT_TRUE(has("system/hyouji/button/B_CS06.gif: ", "5600 x 5600 px, at most 118 x 76"));
    EXPECT_TRUE(has("system/hyouji/button/6_more@2x.gif: ", "missing (a large window shows"));
    EXPECT_TRUE(has("system/onkai/", "picture system/hyouji/choshi/2222222@2x.gif is 152 x 200 px, must be 304 x 400"));
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
