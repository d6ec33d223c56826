// The history file: what it keeps, its schema and version, a second program
// writing at the same time, and everything that can go wrong with the file:
// damaged, foreign, newer, unwritable, a read-only folder, a kill mid-write.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <random>
#include <regex>
#include <thread>

#include "history/progress.h"
#include "history/sqlite_history.h"
#include "support/data_folder.h"
#include "support/recording_history.h"

namespace tarvel {

// What a failed comparison shows.
void PrintTo(const HeardNote& n, std::ostream* out) {
    *out << n.place << ":" << n.written << "/" << n.chartLine << n.verdict << (n.extraBefore ? "+" : "")
         << (n.cents ? " " + std::to_string(*n.cents) : "");
}
void PrintTo(const HistoryRun& r, std::ostream* out) {
    *out << r.playedAt << " " << r.system << " " << r.pairing << " " << r.key << " " << r.tempo << " " << r.kind << " "
         << r.gradeNo << " " << testing::PrintToString(r.notes);
}
void PrintTo(const NoteDay& d, std::ostream* out) {
    *out << d.day << " " << d.written << "/" << d.chartLine << " heard " << d.heard << " missed " << d.missed << " "
         << d.lastMissedAt << " cents " << d.centsSum << "/" << d.centsCount;
}
void PrintTo(const ProgressSummary& p, std::ostream* out) {
    *out << testing::PrintToString(p.runsPerKey) << " " << testing::PrintToString(p.lastRuns) << " ids "
         << testing::PrintToString(p.lastRunIds) << " days " << p.days.week << "/" << p.days.month;
}

namespace {

namespace fs = std::filesystem;

HistoryRun aRun(int n, std::string key = "S01", std::string system = "Boe", std::string pairing = "BB") {
    HistoryRun run;
    run.playedAt = "2026-12-07 10:00:" + std::string(n < 10 ? "0" : "") + std::to_string(n % 60);
    run.system = std::move(system);
    run.pairing = std::move(pairing);
    run.key = std::move(key);
    run.tempo = "120";
    run.answer = "0";
    run.grade = "Ｂ";
    run.gradeNo = 8;
    return run;
}

// A heard note: its place (from 0), written note, chart line and verdict.
HeardNote aNote(int place, std::int16_t written, std::int16_t line, char verdict, bool extra = false,
                std::optional<double> cents = std::nullopt) {
    return HeardNote{place, written, line, verdict, extra, cents};
}

// Runs a query on the file with a connection of the test's own.
std::string query(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string result;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        result = text ? text : "";
    } else {
        result = std::string("error: ") + sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

void exec(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class HistoryFile : public testing::Test {
protected:
    fs::path file() const { return data.root() / SqliteHistory::kFileName; }
    test::DataFolder data;
};

TEST_F(HistoryFile, KeepsEveryRunWholeAndApartBySystemAndPairing) {
    {
        SqliteHistory history(file());
        EXPECT_EQ(history.runs()->size(), 0u);
        HistoryRun heard = aRun(1);
        heard.heardSlips = 3;
        ASSERT_TRUE(history.add(heard));
        ASSERT_TRUE(history.add(aRun(2, "S01", "Oeh")));
        ASSERT_TRUE(history.add(aRun(3, "F14", "Boe", "BA")));
        ASSERT_TRUE(history.add(aRun(4)));
        EXPECT_TRUE(history.takeMessages().empty());
    }
    SqliteHistory again(file());  // as the next start of the program reads it
    const auto all = again.runs();
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 4u);
    EXPECT_EQ((*all)[0].heardSlips, 3);
    EXPECT_EQ((*all)[1].heardSlips, std::nullopt) << "no listening, no count";
    EXPECT_EQ((*all)[2], aRun(3, "F14", "Boe", "BA"));
    const auto boeBB = again.runs("Boe", "BB");
    ASSERT_EQ(boeBB->size(), 2u);
    EXPECT_EQ((*boeBB)[1], aRun(4));
    EXPECT_EQ(again.runs("Oeh", "BB")->size(), 1u);
    EXPECT_EQ(again.runs("Oeh", "BC")->size(), 0u);
}

TEST_F(HistoryFile, SchemaVersionWriteAheadLogAndItsOwnMark) {
    SqliteHistory history(file());
    ASSERT_TRUE(history.add(aRun(1)));
    EXPECT_EQ(query(file(), "PRAGMA user_version"), std::to_string(SqliteHistory::kSchemaVersion));
    EXPECT_EQ(query(file(), "PRAGMA application_id"), std::to_string(SqliteHistory::kApplicationId));
    EXPECT_EQ(query(file(), "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(query(file(),
                    "SELECT count(*) FROM pragma_table_info('runs') WHERE name = 'heard_slips' AND "
                    "\"notnull\" = 0"),
              "1")
        << "the heard slips may stay empty";
}

TEST_F(HistoryFile, AnEmptyFileIsBroughtToTheCurrentSchema) {
    std::ofstream(file()).close();  // zero bytes: an SQLite database with nothing in it
    SqliteHistory history(file());
    ASSERT_TRUE(history.add(aRun(1)));
    EXPECT_EQ(query(file(), "PRAGMA user_version"), std::to_string(SqliteHistory::kSchemaVersion));
    EXPECT_TRUE(history.takeMessages().empty());
}

TEST_F(HistoryFile, AFileOfANewerVersionIsLeftAlone) {
    exec(file(), "PRAGMA application_id=" + std::to_string(SqliteHistory::kApplicationId) +
                     "; PRAGMA user_version=99; CREATE TABLE runs(x); CREATE TABLE later(y);");
    const auto before = fs::file_size(file());
    SqliteHistory history(file());
    EXPECT_FALSE(history.add(aRun(1)));
    EXPECT_FALSE(history.runs());
    const auto messages = history.takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("新しい版"), std::string::npos) << messages[0];
    EXPECT_EQ(fs::file_size(file()), before);
    EXPECT_EQ(filesIn(data.root()), std::vector<std::string>{SqliteHistory::kFileName}) << "nothing moved aside";
}

TEST_F(HistoryFile, ADamagedOrForeignFileIsMovedAsideUnderADatedName) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"not a database", [](const fs::path& f) { std::ofstream(f) << std::string(8192, 'x'); }, "damaged"},
        {"another program's database",
         [](const fs::path& f) { exec(f, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');"); }, "foreign"},
        {"a damaged page",
         [](const fs::path& f) {
             exec(f,
                  "PRAGMA journal_mode=DELETE; CREATE TABLE t(x); WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL "
                  "SELECT i + 1 FROM c WHERE i < 40) INSERT INTO t SELECT randomblob(900) FROM c;");
         },
         "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        c.make(f);
        if (std::string(c.what) == "a damaged page") {
            // Overwrite the middle of the file: pages of the table, not the header.
            std::fstream bytes(f, std::ios::in | std::ios::out | std::ios::binary);
            bytes.seekp(4096);
            const std::string noise(8192, '\x5a');
            bytes.write(noise.data(), static_cast<std::streamsize>(noise.size()));
        }
        std::ifstream original(f, std::ios::binary);
        const std::string originalBytes{std::istreambuf_iterator<char>(original), {}};

        SqliteHistory history(f);
        ASSERT_TRUE(history.add(aRun(1)));
        EXPECT_EQ(history.runs()->size(), 1u) << "a new history, started at once";
        const auto messages = history.takeMessages();
        ASSERT_EQ(messages.size(), 1u);

        std::vector<std::string> names = filesIn(folder.root());
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [](const std::string& n) { return n.rfind("tarvel-history.sqlite", 0) == 0; }),
                    names.end());
        ASSERT_EQ(names.size(), 1u);
        const std::regex dated(std::string("tarvel-history-") + c.reason + R"(-\d{4}-\d\d-\d\d-\d{6}\.sqlite)");
        EXPECT_TRUE(std::regex_match(names[0], dated)) << names[0];
        EXPECT_NE(messages[0].find(names[0]), std::string::npos) << "the message names it: " << messages[0];
        std::ifstream aside(folder.root() / names[0], std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), originalBytes) << "kept as it was";
    }
}

TEST_F(HistoryFile, AHistoryThatCannotBeWrittenSaysSoOnce) {
    fs::create_directory(file());  // a folder where the file should be
    SqliteHistory history(file());
    EXPECT_FALSE(history.add(aRun(1)));
    EXPECT_FALSE(history.add(aRun(2)));
    const auto messages = history.takeMessages();
    ASSERT_EQ(messages.size(), 1u) << "one message, not one a run";
    EXPECT_NE(messages[0].find(file().string()), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("記録フォルダに残ります"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("：ファイルではなくフォルダです（unable to open database file）"), std::string::npos)
        << "the reason in Japanese, SQLite's words as a detail: " << messages[0];
    EXPECT_FALSE(history.runs());
}

// Runs `body` in a child process as a user who cannot write where root can;
// the child's exit status is the number of failed checks.
int asUnprivilegedUser(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(HistoryFile, AReadOnlyDataFolderIsReadButNotWritten) {
    const fs::path folder = data.root() / "readonly";
    fs::create_directory(folder);
    const fs::path kept = folder / SqliteHistory::kFileName;
    {
        SqliteHistory history(kept);
        ASSERT_TRUE(history.add(aRun(1)));
    }
    const fs::path empty = data.root() / "empty";
    fs::create_directory(empty);
    for (const fs::path& p : {data.root(), folder, empty, kept})
        fs::permissions(p, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(kept, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::remove);

    const int failures = asUnprivilegedUser([&] {
        int failed = 0;
        SqliteHistory history(kept);
        const auto runs = history.runs("Boe", "BB");
        failed += !runs || runs->size() != 1;  // the best results still show
        failed += history.add(aRun(2));
        failed += history.add(aRun(3));
        failed += history.takeMessages().size() != 1;
        failed += history.remove(1);
        failed += history.takeMessages().size() != 1;  // told again: the player just asked

        SqliteHistory none(empty / SqliteHistory::kFileName);
        const auto nothing = none.runs();
        failed += !nothing || !nothing->empty();  // nothing kept yet: an empty history
        failed += none.add(aRun(4));
        failed += none.takeMessages().size() != 1;
        failed += fs::exists(empty / SqliteHistory::kFileName);
        return failed;
    });
    fs::permissions(data.root(), fs::perms::owner_all, fs::perm_options::add);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::permissions(empty, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(query(kept, "SELECT count(*) FROM runs"), "1");
}

TEST_F(HistoryFile, AFullDiskIsCalledAFullDisk) {
    // A small file system of its own, in a mount namespace of a child's own.
    const fs::path disk = data.root() / "disk";
    fs::create_directory(disk);
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
            _exit(77);
        const fs::path f = disk / SqliteHistory::kFileName;
        SqliteHistory(f).add(aRun(1));  // the history as it stood while there was room
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {}
        filler.close();
        SqliteHistory history(f);
        bool added = true;
        for (int n = 2; n < 20 && added; ++n) added = history.add(aRun(n));
        const auto messages = history.takeMessages();
        if (messages.empty()) _exit(1);
        std::ofstream(data.root() / "message.txt") << messages[0];
        _exit(added ? 2 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no tmpfs could be mounted here";
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "a message, and the run not kept";
    std::ifstream in(data.root() / "message.txt");
    const std::string message{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(message.find("ディスクに空きがありません"), std::string::npos) << message;
    EXPECT_EQ(message.find("フォルダに書き込めません"), std::string::npos) << message;
}

// Another program's connection that holds the history's write lock until it
// is released (or destroyed).
class WriteLock {
public:
    explicit WriteLock(const fs::path& file) {
        sqlite3_open(file.c_str(), &db_);
        held_ = sqlite3_exec(db_,
                             "BEGIN IMMEDIATE; INSERT INTO runs (played_at, system, pairing, key, tempo, answer, "
                             "grade, grade_no) VALUES ('2026-12-07 09:00:00', 'Oeh', 'BB', '000', '60', '0', 'Ｄ', 6);",
                             nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~WriteLock() {
        release();
        sqlite3_close(db_);
    }
    bool held() const { return held_; }
    void release() {
        if (held_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        held_ = false;
    }

private:
    sqlite3* db_ = nullptr;
    bool held_ = false;
};

// The minutes and seconds of every run, oldest first ("00:01 00:02").
std::string playedOrder(const fs::path& file) {
    return query(file, "SELECT group_concat(substr(played_at, 15), ' ') FROM (SELECT played_at FROM runs ORDER BY id)");
}

bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 100 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return done();
}

TEST_F(HistoryFile, RunsGradedWhileAnotherProgramHoldsTheWriteLockAreAddedInOrderOnceItIsFree) {
    SqliteHistory history(file());
    ASSERT_TRUE(history.add(aRun(1)));
    WriteLock other(file());
    ASSERT_TRUE(other.held());
    // The window does not wait for the other program: both calls return while
    // it still holds the lock, and the runs are kept.
    HistoryRun drill = aRun(2);
    drill.kind = kDrillRun;
    drill.notes = {aNote(0, 312, 10, 'x', true), aNote(1, 332, 11, 'o', false, -7.5)};
    EXPECT_TRUE(history.add(drill));
    EXPECT_TRUE(history.add(aRun(3)));
    EXPECT_TRUE(other.held());
    EXPECT_EQ(playedOrder(file()), "00:01");
    other.release();
    EXPECT_TRUE(waitFor([&] { return playedOrder(file()) == "00:01 00:00 00:02 00:03"; })) << playedOrder(file());
    EXPECT_EQ(history.runs("Boe", "BB", true)->at(1), drill) << "its kind and notes waited with it";
    EXPECT_TRUE(history.takeMessages().empty());
    EXPECT_TRUE(history.add(aRun(4)));
    EXPECT_EQ(playedOrder(file()), "00:01 00:00 00:02 00:03 00:04");
    for (const std::string& name : filesIn(data.root()))
        EXPECT_EQ(name.find("pending"), std::string::npos) << "nothing left waiting: " << name;
}

TEST_F(HistoryFile, RunsWaitingForTheLockSurviveTheProgramsEndAndAKill) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "closed");
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        SqliteHistory(f).add(aRun(1));
        {
            WriteLock other(f);
            ASSERT_TRUE(other.held());
            if (killed) {
                const pid_t child = fork();
                if (child == 0) {
                    SqliteHistory history(f);
                    const bool kept = history.add(aRun(2)) && history.add(aRun(3));
                    _exit(kept ? 0 : 1);  // no destructor: as if killed
                }
                int status = 0;
                waitpid(child, &status, 0);
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            } else {
                SqliteHistory history(f);
                EXPECT_TRUE(history.add(aRun(2)));
                EXPECT_TRUE(history.add(aRun(3)));
            }  // the program ends while the other still writes
            EXPECT_EQ(playedOrder(f), "00:01");
        }
        SqliteHistory next(f);  // the next start
        const auto runs = next.runs();
        ASSERT_TRUE(runs);
        EXPECT_EQ(playedOrder(f), "00:01 00:00 00:02 00:03");
        SqliteHistory(f).runs();
        EXPECT_EQ(playedOrder(f), "00:01 00:00 00:02 00:03") << "added once";
    }
}

// The schema as earlier versions of Tarvel made it, one step a version.
constexpr const char* kOldSchema[] = {
    "CREATE TABLE runs (id INTEGER PRIMARY KEY AUTOINCREMENT, played_at TEXT NOT NULL, system TEXT NOT NULL,"
    " pairing TEXT NOT NULL, key TEXT NOT NULL, tempo TEXT NOT NULL, answer TEXT NOT NULL, grade TEXT NOT NULL,"
    " grade_no INTEGER NOT NULL, heard_slips INTEGER);"
    "CREATE INDEX runs_by_choice ON runs(system, pairing, key);",
    "ALTER TABLE runs ADD COLUMN queued_as TEXT;"
    "CREATE UNIQUE INDEX runs_by_token ON runs(queued_as) WHERE queued_as IS NOT NULL;",
    "CREATE TABLE run_days (system TEXT NOT NULL, pairing TEXT NOT NULL, key TEXT NOT NULL, tempo TEXT NOT NULL,"
    " day TEXT NOT NULL, runs INTEGER NOT NULL, best_no INTEGER NOT NULL, best_grade TEXT NOT NULL,"
    " best_at TEXT NOT NULL, PRIMARY KEY (system, pairing, key, tempo, day)) WITHOUT ROWID;"
    "CREATE INDEX run_days_by_day ON run_days(day);"
    "CREATE INDEX runs_by_pairing ON runs(system, pairing);"
    "CREATE TRIGGER runs_into_days AFTER INSERT ON runs BEGIN"
    " INSERT INTO run_days VALUES (NEW.system, NEW.pairing, NEW.key, NEW.tempo, substr(NEW.played_at, 1, 10), 1,"
    "  NEW.grade_no, NEW.grade, NEW.played_at)"
    " ON CONFLICT DO UPDATE SET runs = runs + 1,"
    "  best_grade = CASE WHEN excluded.best_no > best_no THEN excluded.best_grade ELSE best_grade END,"
    "  best_at = CASE WHEN excluded.best_no > best_no THEN excluded.best_at ELSE best_at END,"
    "  best_no = max(best_no, excluded.best_no);"
    "END;",
};

// A history as an earlier version left it, with these runs (key runs, no notes).
void makeOldHistory(const fs::path& file, int version, const std::vector<HistoryRun>& runs) {
    std::string schema = "PRAGMA journal_mode=WAL; BEGIN;";
    for (int v = 1; v <= version; ++v) schema += kOldSchema[v - 1];
    schema += "PRAGMA application_id=" + std::to_string(SqliteHistory::kApplicationId) +
              "; PRAGMA user_version=" + std::to_string(version) + "; COMMIT;";
    exec(file, schema);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO runs (played_at, system, pairing, key, tempo, answer, grade, grade_no, heard_slips)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (const HistoryRun& r : runs) {
        int i = 0;
        for (const std::string* text : {&r.playedAt, &r.system, &r.pairing, &r.key, &r.tempo, &r.answer, &r.grade})
            sqlite3_bind_text(insert, ++i, text->c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 8, r.gradeNo);
        if (r.heardSlips)
            sqlite3_bind_int(insert, 9, *r.heardSlips);
        else
            sqlite3_bind_null(insert, 9);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Every figure the pages read, from the history and from the rules (the
// recording double answers with the pure functions).
void expectTheRulesFigures(HistoryStore& history, test::RecordingHistory& rules) {
    EXPECT_EQ(history.runs({}, {}, true), rules.runs({}, {}, true));
    for (const char* system : {"Boe", "Oeh"})
        for (const char* pairing : {"BB", "BC", "BA"}) {
            SCOPED_TRACE(std::string(system) + " " + pairing);
            EXPECT_EQ(history.runs(system, pairing, true), rules.runs(system, pairing, true));
            EXPECT_EQ(history.best(system, pairing), rules.best(system, pairing));
            EXPECT_EQ(history.keyPractice(system, pairing), rules.keyPractice(system, pairing));
            for (const char* from : {"2026-12-01", "2026-12-07", "2026-12-15"})
                EXPECT_EQ(history.noteDays(system, pairing, from), rules.noteDays(system, pairing, from)) << from;
            for (const CalendarDate today :
                 {CalendarDate{2026, 12, 7}, CalendarDate{2026, 12, 9}, CalendarDate{2026, 12, 20}})
                EXPECT_EQ(history.progress(system, pairing, today, 12), rules.progress(system, pairing, today, 12));
            for (const char* key : {"000", "S01", "S02", "F01", "F03", "S14", "F14"})
                EXPECT_EQ(history.chart(system, pairing, key), rules.chart(system, pairing, key)) << key;
        }
    EXPECT_TRUE(history.takeMessages().empty());
}

// A history of many runs on few days, keys and tempi, the clock now and then
// set back, drills among them, a third listened to note by note; the same for
// every test run. Cents in halves, so that sums are exact in any order.
std::vector<HistoryRun> aLongHistory(int count) {
    std::mt19937 random(7);
    const char* systems[] = {"Boe", "Oeh"};
    const char* pairings[] = {"BB", "BC", "BA"};
    const char* keys[] = {"000", "S01", "F03", "S14"};
    const char* tempi[] = {"30", "120", "340", "480"};
    const std::int16_t written[] = {312, 332, 352, 302, 322, 431};
    std::vector<HistoryRun> runs;
    for (int n = 0; n < count; ++n) {
        const int day = 1 + n * 20 / count - (random() % 10 == 0 ? 3 : 0);
        const int gradeNo = 1 + static_cast<int>(random() % 14);
        char at[32];
        std::snprintf(at, sizeof at, "2026-12-%02d %02d:%02d:00", std::max(1, day), n % 24, n % 60);
        HistoryRun& run = runs.emplace_back();
        run.playedAt = at;
        run.system = systems[random() % 2];
        run.pairing = pairings[random() % 3];
        run.key = keys[random() % 4];
        run.tempo = tempi[random() % 4];
        run.answer = std::to_string(random() % 4);
        run.grade = "G" + std::to_string(gradeNo);
        run.gradeNo = gradeNo;
        if (random() % 4 == 0) run.kind = kDrillRun;
        if (random() % 3 != 0) continue;
        for (int place = 0, notes = static_cast<int>(random() % 9); place < notes; ++place) {
            std::optional<double> cents;
            if (random() % 3 != 0) cents = static_cast<double>(static_cast<int>(random() % 161) - 80) / 2;
            run.notes.push_back(aNote(place, written[random() % 6], static_cast<std::int16_t>(random() % 40),
                                      "oox-"[random() % 4], random() % 7 == 0, cents));
        }
        run.heardSlips = static_cast<int>(
            std::count_if(run.notes.begin(), run.notes.end(), [](const HeardNote& note) { return note.missed(); }));
    }
    return runs;
}

TEST_F(HistoryFile, ThePagesFiguresAreThoseOfEveryRun) {
    const std::vector<HistoryRun> runs = aLongHistory(600);
    // Made by this version; and made by the first version, and by the last
    // one, with half the runs, brought up to date and the rest added.
    for (const int madeBy : {SqliteHistory::kSchemaVersion, 1, 3}) {
        SCOPED_TRACE("made by version " + std::to_string(madeBy));
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        test::RecordingHistory rules;
        rules.kept = runs;
        if (madeBy < SqliteHistory::kSchemaVersion) {
            for (std::size_t i = 0; i < runs.size() / 2; ++i) {
                rules.kept[i].kind = kKeyRun;  // what those versions could keep
                rules.kept[i].notes.clear();
            }
            makeOldHistory(f, madeBy, {rules.kept.begin(), rules.kept.begin() + runs.size() / 2});
        }
        SqliteHistory history(f);
        for (std::size_t i = madeBy < SqliteHistory::kSchemaVersion ? runs.size() / 2 : 0; i < runs.size(); ++i)
            ASSERT_TRUE(history.add(runs[i]));
        EXPECT_EQ(query(f, "PRAGMA user_version"), std::to_string(SqliteHistory::kSchemaVersion));
        expectTheRulesFigures(history, rules);
    }
}

HistoryRun aHeardRun(std::string at, std::string key, int gradeNo, std::string_view kind, std::string system,
                     std::vector<HeardNote> notes) {
    HistoryRun run = aRun(0, std::move(key), std::move(system));
    run.playedAt = std::move(at);
    run.gradeNo = gradeNo;
    run.grade = "G" + std::to_string(gradeNo);
    run.kind = kind;
    run.notes = std::move(notes);
    return run;
}

TEST_F(HistoryFile, HeardNotesDrillsAndRunsTakenBackGiveTheFiguresOfTheRules) {
    const std::vector<HistoryRun> runs{
        aHeardRun("2026-12-06 09:00:00", "S01", 8, kKeyRun, "Boe",
                  {aNote(0, 312, 10, 'o', false, 5.0), aNote(1, 332, 11, 'x'), aNote(2, 352, 12, 'o', true, 20.0),
                   aNote(3, 312, 10, 'o', false, -2.5)}),
        aHeardRun("2026-12-06 10:00:00", "S01", 7, kDrillRun, "Boe",
                  {aNote(0, 332, 11, '-'), aNote(1, 332, 13, 'o', false, 10.0)}),
        aHeardRun("2026-12-07 08:00:00", "S01", 10, kKeyRun, "Boe",
                  {aNote(0, 312, 10, 'o', false, 1.5), aNote(1, 332, 11, 'o')}),
        aHeardRun("2026-12-07 09:00:00", "F01", 6, kKeyRun, "Oeh", {aNote(0, 312, 20, 'x')}),
        aHeardRun("2026-12-07 10:00:00", "S01", 12, kKeyRun, "Boe", {}),  // not listened to
        aHeardRun("2026-12-08 11:00:00", "S02", 13, kDrillRun, "Boe", {aNote(0, 352, 12, 'o', false, -4.0)}),
    };
    const std::vector<NoteDay> heard{
        {"2026-12-06", 312, 10, 2, 0, "", 2.5, 2},
        {"2026-12-06", 332, 13, 3, 2, "2026-12-06 10:00:00", 10.0, 1},
        {"2026-12-06", 352, 12, 1, 1, "2026-12-06 09:00:00", 0, 0},
        {"2026-12-07", 312, 10, 1, 0, "", 1.5, 1},
        {"2026-12-07", 332, 11, 1, 0, "", 0, 0},
        {"2026-12-08", 352, 12, 1, 0, "", -4.0, 1},
    };
    std::vector<NoteDay> withoutTheDrill = heard;
    withoutTheDrill[1] = {"2026-12-06", 332, 11, 1, 1, "2026-12-06 09:00:00", 0, 0};
    struct Step {
        const char* what;
        std::int64_t takeBack;  // 0: add every run
        std::vector<NoteDay> boehmB;
        int bestOfS01;  // its best grade, on the key page and for the spacing
    };
    const std::vector<Step> steps{
        {"every run added", 0, heard, 12},
        {"the day's best, not listened to, taken back", 5, heard, 10},
        {"a drill heard note by note taken back", 2, withoutTheDrill, 10},
    };
    data.write("system\\onkai\\Boe\\BB\\S01\\2026.12.07 ＳＳ", "");
    const std::vector<std::string> records = data.names("system\\onkai\\Boe\\BB\\S01");
    SqliteHistory history(file());
    test::RecordingHistory rules;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.takeBack == 0) {
            for (const HistoryRun& run : runs) ASSERT_TRUE(history.add(run) && rules.add(run));
        } else {
            ASSERT_TRUE(history.remove(step.takeBack));
            ASSERT_TRUE(rules.remove(step.takeBack));
        }
        EXPECT_EQ(history.noteDays("Boe", "BB", "2026-12-06"), step.boehmB);
        EXPECT_EQ(history.best("Boe", "BB").value()[1]->gradeNo, step.bestOfS01);
        EXPECT_EQ(history.keyPractice("Boe", "BB"), (std::vector<KeyPractice>{{1, "2026-12-07", step.bestOfS01}}))
            << "drills count for no key";
        EXPECT_EQ(history.progress("Boe", "BB", {2026, 12, 9}, 12)->days.week, 2) << "a day of drills alone counts";
        expectTheRulesFigures(history, rules);
    }
    EXPECT_EQ(data.names("system\\onkai\\Boe\\BB\\S01"), records) << "the result records are the player's";
}

// In a child process: kills it at the start of the `killAt`-th statement
// after the upgrade began (up to the commit after its new version number),
// on every connection it opens.
int killAt = 0;
int statementsSeen = 0;
bool upgrading = false, numbered = false, upgraded = false;

int killDuringTheUpgrade(unsigned, void*, void*, void* sql) {
    const std::string_view text(static_cast<const char*>(sql));
    if (upgraded) return 0;
    if (text.rfind("BEGIN IMMEDIATE", 0) == 0) upgrading = true;
    if (!upgrading) return 0;
    if (++statementsSeen == killAt) raise(SIGKILL);
    if (text.rfind("PRAGMA user_version=", 0) == 0) numbered = true;
    if (numbered && text.rfind("COMMIT", 0) == 0) upgraded = true;
    return 0;
}

int traceEveryConnection(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, killDuringTheUpgrade, nullptr);
    return SQLITE_OK;
}

TEST_F(HistoryFile, AKillDuringTheUpgradeLeavesTheEarlierFileWithEveryRun) {
    std::vector<HistoryRun> runs = aLongHistory(300);
    for (HistoryRun& run : runs) {
        run.kind = kKeyRun;
        run.notes.clear();
    }
    const fs::path made = data.root() / "version-3.sqlite";
    makeOldHistory(made, 3, runs);
    int kills = 0;
    for (int statement = 1; statement < 100; ++statement) {
        SCOPED_TRACE("killed at statement " + std::to_string(statement));
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        fs::copy_file(made, f);
        const pid_t child = fork();
        if (child == 0) {
            killAt = statement;
            sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceEveryConnection));
            SqliteHistory history(f);
            const auto all = history.runs();
            _exit(upgraded && all && all->size() == runs.size() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "upgraded whole when not killed";
            break;
        }
        ASSERT_TRUE(WIFSIGNALED(status));
        ++kills;
        EXPECT_EQ(query(f, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(query(f, "PRAGMA user_version"), "3") << "the upgrade is all or nothing";
        EXPECT_EQ(query(f, "SELECT count(*) FROM pragma_table_info('runs') WHERE name = 'kind'"), "0");
        SqliteHistory next(f);  // the next start upgrades it
        EXPECT_EQ(next.runs(), runs);
        HistoryRun drill = aHeardRun("2026-12-21 10:00:00", "S01", 9, kDrillRun, "Boe", {aNote(0, 312, 10, 'x')});
        ASSERT_TRUE(next.add(drill));
        EXPECT_EQ(next.runs("Boe", "BB", true)->back(), drill);
        EXPECT_EQ(query(f, "PRAGMA user_version"), std::to_string(SqliteHistory::kSchemaVersion));
    }
    EXPECT_GE(kills, 10) << "every statement of the upgrade";
}

TEST_F(HistoryFile, AWriteThatCannotBeDoneLeavesTheHistoryAsItWasAndSaysWhy) {
    HistoryRun twice = aRun(5);
    twice.notes = {aNote(0, 312, 10, 'o'), aNote(0, 332, 11, 'x')};
    HistoryRun unknownVerdict = aRun(6);
    unknownVerdict.notes = {aNote(0, 312, 10, 'o'), aNote(1, 312, 10, '?')};
    struct Case {
        const char* what;
        std::function<bool(SqliteHistory&, const fs::path&)> write;
        const char* said;
    };
    const std::vector<Case> cases{
        {"a run with two notes in one place", [&](SqliteHistory& h, const fs::path&) { return h.add(twice); },
         "に書き込めませんでした"},
        {"a note judged as nothing known", [&](SqliteHistory& h, const fs::path&) { return h.add(unknownVerdict); },
         "に書き込めませんでした"},
        {"taking back a run no longer kept", [](SqliteHistory& h, const fs::path&) { return h.remove(99); },
         "からこの回を取り消せませんでした：その回はもう履歴にありません"},
        {"taking back while another program writes",
         [](SqliteHistory& h, const fs::path& f) {
             const WriteLock other(f);
             return other.held() && h.remove(1);
         },
         "からこの回を取り消せませんでした：ほかのプログラムが書き込み中です"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        SqliteHistory history(f);
        HistoryRun heard = aRun(1);
        heard.notes = {aNote(0, 312, 10, 'x'), aNote(1, 332, 11, 'o', false, 3.5)};
        ASSERT_TRUE(history.add(heard));
        const auto before = history.runs("Boe", "BB", true);
        const auto days = history.noteDays("Boe", "BB", "");
        EXPECT_FALSE(c.write(history, f));
        const auto messages = history.takeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(f.string() + " " + c.said), std::string::npos) << messages[0];
        EXPECT_EQ(history.runs("Boe", "BB", true), before);
        EXPECT_EQ(history.noteDays("Boe", "BB", ""), days);
        EXPECT_EQ(query(f, "SELECT count(*) FROM heard_notes"), "2");
    }
}

TEST_F(HistoryFile, ThePagesQueriesSearchAnIndexAndNeverScanEveryRun) {
    SqliteHistory(file()).add(aRun(1));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    for (const std::string& sql : SqliteHistory::pageQueries()) {
        sqlite3_stmt* plan = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &plan, nullptr), SQLITE_OK) << sql;
        std::string steps;
        while (sqlite3_step(plan) == SQLITE_ROW)
            steps += std::string(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3))) + "; ";
        sqlite3_finalize(plan);
        EXPECT_EQ(steps.find("SCAN"), std::string::npos) << sql << "\n" << steps;
        EXPECT_EQ(steps.find("TEMP B-TREE"), std::string::npos) << sql << "\n" << steps;
        EXPECT_NE(steps.find("SEARCH"), std::string::npos) << sql << "\n" << steps;
    }
    sqlite3_close(db);
}

TEST(PendingRuns, TheFileKeepsEveryFieldAndATornLineIsLeftOut) {
    HistoryRun odd = aRun(7);
    odd.answer = "a\tb\\c\nd";
    odd.heardSlips = 4;
    HistoryRun drill = aHeardRun("2026-12-07 10:00:08", "S01", 9, kDrillRun, "Boe",
                                 {aNote(0, 312, 10, 'o', false, 0.1), aNote(1, 202, 499, 'x', true),
                                  aNote(2, 332, 11, '-', false, -12.345678901234567)});
    drill.heardSlips = 2;
    const std::vector<QueuedRun> runs{{"t1", aRun(1)}, {"t2", odd}, {"t3", drill}};
    const std::string text = pendingText(runs);
    EXPECT_EQ(readPendingText(text), runs);
    EXPECT_EQ(readPendingText(text + "t4\t2026-12-07 10:00:09\tBoe"), runs) << "a line cut short by a crash";
    std::string garbled = text;
    garbled.replace(garbled.find(",-,0,"), 5, ",?,0,");
    EXPECT_EQ(readPendingText(garbled), (std::vector<QueuedRun>{runs[0], runs[1]})) << "a note that cannot be read";
    EXPECT_TRUE(readPendingText("something else\n" + text.substr(text.find('\n') + 1)).empty());
    // As the version before wrote it, while no run had a kind or notes.
    EXPECT_EQ(readPendingText("Tarvel queued runs 1\n"
                              "t1\t2026-12-07 10:00:01\tBoe\tBB\tS01\t120\t0\tＢ\t8\t\n"
                              "t2\t2026-12-07 10:00:07\tBoe\tBB\tS01\t120\ta\\tb\\\\c\\nd\tＢ\t8\t4\n"),
              (std::vector<QueuedRun>{{"t1", aRun(1)}, {"t2", odd}}));
    EXPECT_NE(newToken(), newToken());
}

TEST_F(HistoryFile, AWaitingRunThatWasAddedBeforeTheProgramDiedIsNotAddedAgain) {
    SqliteHistory(file()).add(aRun(1));
    // Added, but the program died before it emptied the file.
    exec(file(),
         "INSERT INTO runs (played_at, system, pairing, key, tempo, answer, grade, grade_no, queued_as) "
         "VALUES ('2026-12-07 10:00:02', 'Boe', 'BB', 'S01', '120', '0', 'Ｂ', 8, 'token-2')");
    const PendingRuns pending(file());
    ASSERT_EQ(pending.write({{"token-2", aRun(2)}, {"token-3", aRun(3)}}), "");
    SqliteHistory next(file());
    ASSERT_TRUE(next.runs());
    EXPECT_EQ(playedOrder(file()), "00:01 00:02 00:03");
    EXPECT_FALSE(pending.any());
}

TEST_F(HistoryFile, AKillDuringTheWritesLosesAtMostTheRunBeingWritten) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        test::DataFolder folder;
        const fs::path f = folder.root() / SqliteHistory::kFileName;
        int acks[2];
        ASSERT_EQ(pipe(acks), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(acks[0]);
            SqliteHistory history(f);
            for (int n = 0;; ++n) {
                if (!history.add(aRun(n))) _exit(1);
                if (write(acks[1], &n, sizeof n) != sizeof n) _exit(1);
            }
        }
        close(acks[1]);
        int n = 0, acknowledged = 0;
        while (acknowledged < 20 + 15 * attempt && read(acks[0], &n, sizeof n) == sizeof n) ++acknowledged;
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        while (read(acks[0], &n, sizeof n) == sizeof n) ++acknowledged;
        close(acks[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ran until it was killed";

        EXPECT_EQ(query(f, "PRAGMA integrity_check"), "ok");
        const int rows = std::stoi(query(f, "SELECT count(*) FROM runs"));
        EXPECT_GE(rows, acknowledged);
        EXPECT_LE(rows, acknowledged + 1);
        SqliteHistory after(f);
        const auto runs = after.runs();
        ASSERT_TRUE(runs);
        for (const HistoryRun& run : *runs) EXPECT_EQ(run.grade, "Ｂ");
        EXPECT_TRUE(after.add(aRun(99)));
    }
}

TEST_F(HistoryFile, AHistoryThatIsASymbolicLinkIsNeitherReadNorWritten) {
    struct Case {
        const char* what;
        bool targetExists;
        const char* linked;  // the name that is a link
    };
    for (const Case& c : {Case{"pointing where nothing is yet", false, ""},
                          Case{"pointing at another history", true, ""}, Case{"its log file", false, "-wal"}}) {
        SCOPED_TRACE(c.what);
        test::DataFolder folder, elsewhere;
        const fs::path target = elsewhere.root() / "h.sqlite";
        if (c.targetExists) {
            SqliteHistory other(target);
            ASSERT_TRUE(other.add(aRun(1, "000", "Oeh")));
        }
        fs::path link = folder.root() / SqliteHistory::kFileName;
        if (std::string(c.linked).empty()) {
            fs::create_symlink(target, link);
        } else {
            SqliteHistory(link).add(aRun(1));
            link += c.linked;
            fs::remove(link);
            fs::create_symlink(target, link);
        }
        SqliteHistory history(folder.root() / SqliteHistory::kFileName);
        EXPECT_FALSE(history.add(aRun(2)));
        EXPECT_FALSE(history.add(aRun(3)));
        EXPECT_FALSE(history.runs()) << "another player's runs are not shown either";
        const auto messages = history.takeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(link.string()), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find("シンボリックリンク"), std::string::npos) << messages[0];
        EXPECT_EQ(filesIn(elsewhere.root()),
                  c.targetExists ? std::vector<std::string>{"h.sqlite"} : std::vector<std::string>{})
            << "nothing made or written beside the target";
        if (c.targetExists) {
            EXPECT_EQ(query(target, "SELECT count(*) FROM runs"), "1");
        }
        EXPECT_TRUE(fs::is_symlink(link)) << "the link is left as it is";
    }
}

TEST_F(HistoryFile, TwoProgramsStartingOnAFolderWithoutAHistoryBothKeepTheirRuns) {
    // A third connection holds the write lock on the new, empty file while
    // both programs look at it, so that both find it without a schema.
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA journal_mode=WAL; BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    std::vector<std::string> messages[2];
    bool added[2] = {false, false};
    std::vector<std::thread> programs;
    for (int p = 0; p < 2; ++p)
        programs.emplace_back([&, p] {
            SqliteHistory history(file());
            added[p] = history.add(aRun(p + 1, p == 0 ? "S01" : "S02"));
            messages[p] = history.takeMessages();
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    for (std::thread& t : programs) t.join();
    sqlite3_close(holder);
    for (int p = 0; p < 2; ++p) {
        EXPECT_TRUE(added[p]) << p;
        EXPECT_TRUE(messages[p].empty()) << p << ": " << (messages[p].empty() ? "" : messages[p][0]);
    }
    EXPECT_EQ(query(file(), "SELECT count(*) FROM runs"), "2");
}

}  // namespace
}  // namespace tarvel
