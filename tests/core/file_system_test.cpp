// The file operations on data paths: reading, listing and renaming, with
// full-width names, never replacing a file.
#include <gtest/gtest.h>

#include <fstream>

#include "data/file_system.h"
#include "data/result_record.h"
#include "support/data_folder.h"

namespace tarvel {
namespace {

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest() : files(data.root()) {}
    std::string contents(const std::string& dataPath) {
        std::ifstream in(data.path(dataPath), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    test::DataFolder data;
    LocalFileSystem files;
};

TEST_F(FileSystemTest, ReadsLinesOfADataPath) {
    data.write("system\\unshi\\boe.txt", "a\r\nb\r\n\r\n");
    const TextFile text = files.readText("system\\unshi\\boe.txt");
    ASSERT_TRUE(text.ok);
    EXPECT_EQ(text.lines, (std::vector<std::string>{"a", "b", ""}));
    EXPECT_FALSE(files.readText("system\\unshi\\oeh.txt").ok);
    data.makeFolder("system\\unshi\\dir.txt");
    const TextFile folder = files.readText("system\\unshi\\dir.txt");
    EXPECT_FALSE(folder.ok);
    EXPECT_FALSE(folder.error.empty());
}

TEST_F(FileSystemTest, FirstOrdinaryFileByName) {
    const std::string dir = "system\\onkai\\Boe\\BB\\S01\\";
    EXPECT_EQ(files.firstOrdinaryFile(dir), "") << "missing folder";
    data.makeFolder(dir);
    EXPECT_EQ(files.firstOrdinaryFile(dir), "") << "empty folder";
    data.write(dir + ".aaa", "");
    data.makeFolder(dir + "0-folder");
    data.write(dir + "まだです", "");
    data.write(dir + "2010.08.28 ＡＡＡ", "");
    EXPECT_EQ(files.firstOrdinaryFile(dir), "2010.08.28 ＡＡＡ");
}

TEST_F(FileSystemTest, RenameKeepsTheNameExactlyAndNeverReplaces) {
    const std::string dir = "system\\onkai\\Oeh\\BA\\F14\\";
    data.write(dir + "まだです", "record");
    ASSERT_EQ(files.rename(dir, "まだです", "2010.08.28 ＳＳＳ").status, FileResult::Done);
    EXPECT_EQ(data.names(dir), std::vector<std::string>{"2010.08.28 ＳＳＳ"});
    EXPECT_EQ(data.names(dir)[0], "2010.08.28 \xEF\xBC\xB3\xEF\xBC\xB3\xEF\xBC\xB3");
    data.write(dir + "other", "other");
    EXPECT_EQ(files.rename(dir, "other", "2010.08.28 ＳＳＳ").status, FileResult::AlreadyExists);
    EXPECT_EQ(contents(dir + "2010.08.28 ＳＳＳ"), "record");
    EXPECT_EQ(contents(dir + "other"), "other");
    EXPECT_EQ(files.rename(dir, "gone", "new").status, FileResult::Failed);
    EXPECT_EQ(files.createFile(dir, "other").status, FileResult::AlreadyExists);
    EXPECT_EQ(contents(dir + "other"), "other");
}

TEST_F(FileSystemTest, RecordNames) {
    EXPECT_EQ(shortDateText({2010, 8, 28}), "2010/08/28");
    EXPECT_EQ(recordName(shortDateText({2010, 8, 28}), "ＡＡ"), "2010.08.28 ＡＡ");
    EXPECT_EQ(recordName("28 Aug 2010", "Ｉ"), "28 Aug 2010 Ｉ") << "only slashes are replaced";
    EXPECT_EQ(recordName("1/2/3/4", "Ｂ"), "1.2.3.4 Ｂ");
}

TEST_F(FileSystemTest, WriteRecordOutcomes) {
    const std::string dir = "system\\onkai\\Boe\\BC\\000\\";
    EXPECT_EQ(writeRecord(files, dir, "2010.08.28 Ｂ").kind, RecordOutcome::Created);
    EXPECT_EQ(writeRecord(files, dir, "2010.08.28 Ｂ").kind, RecordOutcome::Unchanged);
    const RecordOutcome renamed = writeRecord(files, dir, "2010.08.29 Ａ");
    EXPECT_EQ(renamed.kind, RecordOutcome::Renamed);
    EXPECT_EQ(renamed.oldName, "2010.08.28 Ｂ");
    EXPECT_EQ(data.names(dir), std::vector<std::string>{"2010.08.29 Ａ"});
}

}  // namespace
}  // namespace tarvel
