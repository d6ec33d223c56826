// Keeping a player's data folder up to date without touching a result.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <future>

#include "data/result_record.h"
#include "launch/data_folder_sync.h"
#include "support/data_folder.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

const std::string kRecords = "system\\onkai\\Oeh\\BC\\F03\\";

class SyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        shipped.write("system\\hyouji\\title.gif", "GIF89a title");
        shipped.write("system\\unshi\\boe.txt", "1|1110|1110\r\n");
        shipped.write(kRecords + "まだです", "");
        shipped.write("system\\onkai\\Oeh\\BC\\F03.txt", "#0\r\n");
    }
    std::string read(const test::DataFolder& folder, const std::string& dataPath) {
        std::ifstream in(folder.path(dataPath), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    test::DataFolder shipped;  // the installed data set
    test::DataFolder player;   // the player's data folder
};

TEST(ResultFolders, WhichFoldersHoldRecords) {
    EXPECT_TRUE(isResultFolder("system/onkai/Boe/BB/S01"));
    EXPECT_TRUE(isResultFolder("system/onkai/Oeh/BA/F14/"));
    EXPECT_TRUE(isResultFolder("system/onkai/Boe/BC/000"));
    EXPECT_FALSE(isResultFolder("system/onkai/Boe/BB"));
    EXPECT_FALSE(isResultFolder("system/onkai/Boe/BB/S15"));
    EXPECT_FALSE(isResultFolder("system/onkai/Xyz/BB/S01"));
    EXPECT_FALSE(isResultFolder("system/onkai/Boe/BD/S01"));
    EXPECT_FALSE(isResultFolder("system/hyouji/button/B_C000"));
    EXPECT_FALSE(isResultFolder("other/onkai/Boe/BB/S01"));
    EXPECT_FALSE(isResultFolder("system/onkai/Boe/BB/S01/deeper"));
}

TEST_F(SyncTest, AFreshFolderGetsEverything) {
    const SyncReport report = syncDataFolder(shipped.root(), player.root() / "tarvel");
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.copied, 3);
    EXPECT_EQ(report.recordsAdded, 1);
    EXPECT_EQ(read(player, "tarvel\\system\\hyouji\\title.gif"), "GIF89a title");
    EXPECT_EQ(player.names("tarvel\\" + kRecords), std::vector<std::string>{"まだです"});
    EXPECT_EQ(syncDataFolder(shipped.root(), player.root() / "tarvel").copied, 0) << "nothing changed";
}

TEST_F(SyncTest, WhatCannotBeDoneIsSaidInPlainJapanese) {
    struct Case {
        const char* what;
        std::function<fs::path()> make;  // the installed data set to update from
        std::vector<const char*> said;
    };
    const std::vector<Case> cases{
        {"no installed data set", [&] { return shipped.root() / "missing"; }, {"を読めません", "見つかりません"}},
        {"a file larger than the launcher reads",
         [&] {
             fs::resize_file(shipped.path("system\\unshi\\boe.txt"), 65 * 1024 * 1024);  // sparse
             return shipped.root();
         },
         {"を読めません", "64 MiB より大きなファイルです"}},
    };
    for (const Case& c : cases) {
        const SyncReport report = syncDataFolder(c.make(), player.root());
        ASSERT_FALSE(report.errors.empty()) << c.what;
        for (const char* words : c.said) EXPECT_NE(report.errors[0].find(words), std::string::npos) << report.errors[0];
        EXPECT_EQ(report.errors[0].find("できません"), std::string::npos) << report.errors[0];
        EXPECT_EQ(report.errors[0].find("16 MiB"), std::string::npos) << report.errors[0];
    }
}

TEST_F(SyncTest, ARecordedResultSurvivesEveryUpdate) {
    syncDataFolder(shipped.root(), player.root());
    fs::rename(player.path(kRecords + "まだです"), player.path(kRecords + "2010.08.28 ＡＡ"));
    player.write("system\\notes.txt", "the player's own file");
    shipped.write("system\\hyouji\\title.gif", "GIF89a new title");
    shipped.write(kRecords + "まだです", "");  // the new version ships the initial record again
    const SyncReport report = syncDataFolder(shipped.root(), player.root());
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.copied, 1);
    EXPECT_EQ(report.recordsAdded, 0);
    EXPECT_EQ(player.names(kRecords), std::vector<std::string>{"2010.08.28 ＡＡ"});
    EXPECT_EQ(read(player, "system\\hyouji\\title.gif"), "GIF89a new title");
    EXPECT_EQ(read(player, "system\\notes.txt"), "the player's own file");
    EXPECT_EQ(player.names("system\\hyouji\\"), std::vector<std::string>{"title.gif"}) << "no temporary file is left";
}

TEST_F(SyncTest, TheHistoryBesideTheDataSetIsNeverTouched) {
    syncDataFolder(shipped.root(), player.root());
    player.write("tarvel-history.sqlite", "the player's runs");
    player.write("tarvel-history.sqlite-wal", "and the last ones");
    shipped.write("tarvel-history.sqlite", "a history shipped by mistake");
    syncDataFolder(shipped.root(), player.root());
    EXPECT_EQ(read(player, "tarvel-history.sqlite"), "the player's runs");
    EXPECT_EQ(read(player, "tarvel-history.sqlite-wal"), "and the last ones");
}

TEST_F(SyncTest, AFolderThatLostItsRecordGetsTheInitialOne) {
    syncDataFolder(shipped.root(), player.root());
    fs::remove(player.path(kRecords + "まだです"));
    player.write(kRecords + ".hidden", "");
    EXPECT_EQ(syncDataFolder(shipped.root(), player.root()).recordsAdded, 1);
    EXPECT_EQ(player.names(kRecords), (std::vector<std::string>{".hidden", "まだです"}));
}

TEST_F(SyncTest, AMissingDataSetIsAnError) {
    const SyncReport report = syncDataFolder(shipped.root() / "nowhere", player.root());
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("nowhere"), std::string::npos);
}

// Links planted in the player's data folder are never written through: not a
// temporary name beside a file, not a folder.
TEST_F(SyncTest, PlantedLinksAreNeverWrittenThrough) {
    syncDataFolder(shipped.root(), player.root());
    test::DataFolder outside;
    outside.write("secret.txt", "precious");
    outside.write("button\\keep.gif", "kept");
    fs::create_symlink(outside.path("secret.txt"), player.path("system\\hyouji\\title.gif.tarvel-new"));
    fs::create_symlink(outside.path("secret.txt"), player.path("system\\hyouji\\.title.gif.tarvel-new"));
    fs::create_directories(player.path("system\\hyouji\\"));
    shipped.write("system\\hyouji\\title.gif", "GIF89a changed");
    shipped.write("system\\hyouji\\button\\new.gif", "GIF89a new");
    fs::create_directory_symlink(outside.path("button"), player.path("system\\hyouji\\button"));
    const SyncReport report = syncDataFolder(shipped.root(), player.root());
    EXPECT_EQ(read(outside, "secret.txt"), "precious");
    EXPECT_EQ(outside.names("button\\"), std::vector<std::string>{"keep.gif"});
    EXPECT_EQ(read(player, "system\\hyouji\\title.gif"), "GIF89a changed");
    EXPECT_FALSE(fs::is_symlink(player.path("system\\hyouji\\title.gif")));
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find(player.path("system\\hyouji\\button").string()), std::string::npos);
    EXPECT_NE(report.errors[0].find("シンボリックリンク"), std::string::npos) << report.errors[0];
}

TEST_F(SyncTest, TwoLaunchersAtOnceBothSucceed) {
    for (int i = 0; i < 200; ++i) shipped.write("system\\Linehyouji\\" + std::to_string(i) + ".gif", "GIF89a");
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 200; i += 3)
            shipped.write("system\\Linehyouji\\" + std::to_string(i) + ".gif", "GIF89a " + std::to_string(round));
        auto other = std::async(std::launch::async, [&] { return syncDataFolder(shipped.root(), player.root()); });
        const SyncReport mine = syncDataFolder(shipped.root(), player.root());
        const SyncReport theirs = other.get();
        EXPECT_TRUE(mine.errors.empty()) << mine.errors.front();
        EXPECT_TRUE(theirs.errors.empty()) << theirs.errors.front();
    }
    EXPECT_EQ(player.names(kRecords), std::vector<std::string>{"まだです"});
    EXPECT_EQ(player.names("system\\Linehyouji\\").size(), 200u) << "no temporary file is left";
}

}  // namespace
}  // namespace tarvel
