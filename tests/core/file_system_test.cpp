// The file operations on data paths: reading, listing and renaming, with
// full-width names, never replacing a file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <utility>

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

// A file that cannot be read gives the message of its kind, never an abort:
// /proc files report size 0, and reading /proc/self/mem at 0 fails with EIO.
TEST_F(FileSystemTest, ReadErrorsGiveTheirOwnMessage) {
    namespace fs = std::filesystem;
    data.makeFolder("system\\onkai\\Boe\\BB\\");
    const struct {
        const char* name;
        const char* target;
        std::string error;
    } cases[] = {
        {"pagemap.txt", "/proc/self/pagemap", "16 MiB より大きなファイルです"},
        {"mem.txt", "/proc/self/mem", errorText(EIO)},
        {"missing.txt", "/nonexistent/file", errorText(ENOENT)},
        {"folder.txt", "/", errorText(EISDIR)},
    };
    for (const auto& c : cases) {
        fs::create_symlink(c.target, data.path(std::string("system\\onkai\\Boe\\BB\\") + c.name));
        const TextFile text = files.readText(std::string("system\\onkai\\Boe\\BB\\") + c.name);
        EXPECT_FALSE(text.ok) << c.name;
        EXPECT_EQ(text.error, c.error) << c.name;
    }
    ASSERT_EQ(::mkfifo(data.path("system\\onkai\\Boe\\BB\\pipe.txt").c_str(), 0600), 0);
    EXPECT_EQ(files.readText("system\\onkai\\Boe\\BB\\pipe.txt").error, errorText(ENXIO)) << "no wait for a writer";
    EXPECT_EQ(errorText(EACCES), "アクセスが許可されていません");
    EXPECT_EQ(errorText(EROFS), "読み取り専用のファイルシステムです");
    EXPECT_EQ(errorText(ENOSPC), "ディスクに空きがありません");
}

// A result folder, or a folder above it below system, that is a symbolic
// link is no record folder: nothing is read, renamed or made through it.
TEST_F(FileSystemTest, NothingIsWrittenThroughALinkedResultFolder) {
    namespace fs = std::filesystem;
    const fs::path documents = data.root() / "documents";
    fs::create_directories(documents);
    std::ofstream(documents / "thesis.txt") << "years of work";
    data.makeFolder("system\\onkai\\Boe\\BB\\");
    data.makeFolder("system\\onkai\\Oeh\\");
    fs::create_directories(documents / "S01");
    std::ofstream(documents / "S01" / "notes.txt") << "notes";
    fs::create_directory_symlink(documents, data.path("system\\onkai\\Boe\\BB\\S01"));
    fs::create_directory_symlink(documents, data.path("system\\onkai\\Oeh\\BB"));
    for (const std::string dir :
         {"system\\onkai\\Boe\\BB\\S01\\", "system\\onkai\\Oeh\\BB\\S01\\", "system\\onkai\\Oeh\\BB\\S02\\"}) {
        SCOPED_TRACE(dir);
        EXPECT_TRUE(files.reachedThroughLink(dir));
        EXPECT_EQ(files.firstOrdinaryFile(dir), "");
        EXPECT_EQ(writeRecord(files, dir, "2026.12.07 Ｓ").kind, RecordOutcome::NotARecordFolder);
        EXPECT_EQ(files.createFile(dir, "x").status, FileResult::ThroughLink);
        EXPECT_EQ(files.rename(dir, "thesis.txt", "x").status, FileResult::ThroughLink);
    }
    EXPECT_TRUE(fs::exists(documents / "thesis.txt"));
    EXPECT_TRUE(fs::exists(documents / "S01" / "notes.txt"));
    EXPECT_FALSE(fs::exists(documents / "S02"));
    EXPECT_EQ(std::distance(fs::directory_iterator(documents), fs::directory_iterator()), 2);
    EXPECT_FALSE(files.reachedThroughLink("system\\onkai\\Boe\\BC\\S01\\")) << "a missing folder is no link";
}

// With two files in a result folder the record is the file renamed last, so
// the grade just written is the record, and the other file is never touched.
TEST_F(FileSystemTest, TheGradeJustWrittenStaysTheRecordBesideAnExtraFile) {
    const std::string dir = "system\\onkai\\Boe\\BB\\S02\\";
    data.write(dir + "2026.12.05 memo", "the teacher's note");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // file times are coarse
    data.write(dir + "2026.12.01 Ｂ", "");
    EXPECT_EQ(files.firstOrdinaryFile(dir), "2026.12.01 Ｂ");
    for (const std::string grade : {"2026.12.07 Ｓ", "2026.12.08 Ａ", "2026.12.09 ＳＳ"}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(writeRecord(files, dir, grade).kind, RecordOutcome::Renamed);
        EXPECT_EQ(files.firstOrdinaryFile(dir), grade);
        EXPECT_EQ(data.names(dir), (std::vector<std::string>{"2026.12.05 memo", grade}));
    }
    EXPECT_EQ(contents(dir + "2026.12.05 memo"), "the teacher's note");
    EXPECT_EQ(files.recordFiles(dir), (std::vector<std::string>{"2026.12.09 ＳＳ", "2026.12.05 memo"}));
}

// A file system without no-replace renames, where the old name cannot be
// removed after the new link stands.
class LinkOnlyFileSystem : public LocalFileSystem {
public:
    using LocalFileSystem::LocalFileSystem;
    std::string refuseToUnlink;

protected:
    int renameNoReplace(const char*, const char*) override {
        errno = EINVAL;
        return -1;
    }
    int unlinkFile(const char* path) override {
        if (!refuseToUnlink.empty() && std::string(path).find(refuseToUnlink) != std::string::npos) {
            errno = EACCES;
            return -1;
        }
        return LocalFileSystem::unlinkFile(path);
    }
};

TEST_F(FileSystemTest, AFailedUnlinkLeavesOneRecord) {
    LinkOnlyFileSystem linkOnly(data.root());
    const std::string dir = "system\\onkai\\Boe\\BB\\S03\\";
    data.write(dir + "まだです", "");
    EXPECT_EQ(writeRecord(linkOnly, dir, "2026.12.07 Ａ").kind, RecordOutcome::Renamed);
    EXPECT_EQ(data.names(dir), std::vector<std::string>{"2026.12.07 Ａ"});
    linkOnly.refuseToUnlink = "2026.12.07 Ａ";
    const RecordOutcome refused = writeRecord(linkOnly, dir, "2026.12.08 Ｓ");
    EXPECT_EQ(refused.kind, RecordOutcome::Failed);
    EXPECT_EQ(refused.detail, errorText(EACCES));
    EXPECT_EQ(data.names(dir), std::vector<std::string>{"2026.12.07 Ａ"});
}

// Runs a hook once, just before it makes a file.
class HookedFileSystem : public LocalFileSystem {
public:
    using LocalFileSystem::LocalFileSystem;
    std::function<void()> beforeCreate;
    FileResult createFile(const std::string& dataDir, const std::string& name) override {
        if (auto hook = std::exchange(beforeCreate, nullptr)) hook();
        return LocalFileSystem::createFile(dataDir, name);
    }
};

TEST_F(FileSystemTest, TwoProgramsGradingAKeyWithoutARecordLeaveOne) {
    for (const bool folderMissing : {false, true}) {
        SCOPED_TRACE(folderMissing);
        const std::string dir = folderMissing ? "system\\onkai\\Oeh\\BA\\F01\\" : "system\\onkai\\Oeh\\BA\\F02\\";
        if (!folderMissing) data.makeFolder(dir);
        HookedFileSystem first(data.root());
        LocalFileSystem second(data.root());
        std::future<RecordOutcome> other;
        first.beforeCreate = [&] {
            // The other program grades the same key while this one is about to make the record.
            other = std::async(std::launch::async, [&] { return writeRecord(second, dir, "2026.12.07 Ｂ"); });
            other.wait_for(std::chrono::milliseconds(300));
        };
        EXPECT_EQ(writeRecord(first, dir, "2026.12.07 Ａ").kind, RecordOutcome::Created);
        ASSERT_TRUE(other.valid());
        EXPECT_EQ(other.get().kind, RecordOutcome::Renamed);
        EXPECT_EQ(data.names(dir), std::vector<std::string>{"2026.12.07 Ｂ"});
    }
}

}  // namespace
}  // namespace tarvel
