#include "history/sqlite_history.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <optional>
#include <system_error>
#include <utility>

#include "data/file_system.h"
#include "history/progress.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// How a day's row takes one more run, or one more heard note; the triggers
// that add a run and that take one back both use them.
#define TARVEL_RUN_DAYS_UPSERT                                                                          \
    " ON CONFLICT DO UPDATE SET runs = runs + 1,"                                                       \
    "  best_grade = CASE WHEN excluded.best_no > best_no THEN excluded.best_grade ELSE best_grade END," \
    "  best_at = CASE WHEN excluded.best_no > best_no THEN excluded.best_at ELSE best_at END,"          \
    "  best_no = max(best_no, excluded.best_no)"
#define TARVEL_NOTE_DAYS_COLUMNS \
    "system, pairing, day, written, chart_line, heard, missed, last_missed_at, cents_sum, cents_count"
#define TARVEL_NOTE_DAYS_UPSERT                                                                           \
    " ON CONFLICT DO UPDATE SET chart_line = excluded.chart_line, heard = heard + excluded.heard,"        \
    "  missed = missed + excluded.missed, last_missed_at = max(last_missed_at, excluded.last_missed_at)," \
    "  cents_sum = cents_sum + excluded.cents_sum, cents_count = cents_count + excluded.cents_count"

// Each step brings the schema from the version before it to its own number;
// a file is brought up to date one step at a time, each step with the version
// number in the same transaction.
struct Migration {
    int version;
    const char* sql;
};
constexpr Migration kMigrations[] = {
    {1,
     "CREATE TABLE runs ("
     " id INTEGER PRIMARY KEY AUTOINCREMENT,"
     " played_at TEXT NOT NULL,"  // local time, "2026-12-07 14:03:05"
     " system TEXT NOT NULL,"
     " pairing TEXT NOT NULL,"
     " key TEXT NOT NULL,"
     " tempo TEXT NOT NULL,"
     " answer TEXT NOT NULL,"
     " grade TEXT NOT NULL,"
     " grade_no INTEGER NOT NULL,"
     " heard_slips INTEGER"  // NULL unless the program listened
     ");"
     "CREATE INDEX runs_by_choice ON runs(system, pairing, key);"},
    // A run that waited for another program's write lock carries the token it
    // waited under, so that it is added once however often it is tried.
    {2,
     "ALTER TABLE runs ADD COLUMN queued_as TEXT;"
     "CREATE UNIQUE INDEX runs_by_token ON runs(queued_as) WHERE queued_as IS NOT NULL;"},
    // What the pages show, kept up to date as runs are added, so that a long
    // history costs them no time: each day's runs and best grade per system,
    // pairing, key and tempo; and the last runs of a system and pairing by index.
    {3,
     "CREATE TABLE run_days ("
     " system TEXT NOT NULL, pairing TEXT NOT NULL, key TEXT NOT NULL, tempo TEXT NOT NULL,"
     " day TEXT NOT NULL,"  // "2026-12-07"
     " runs INTEGER NOT NULL,"
     " best_no INTEGER NOT NULL, best_grade TEXT NOT NULL,"
     " best_at TEXT NOT NULL,"  // when the day's best was first reached
     " PRIMARY KEY (system, pairing, key, tempo, day)) WITHOUT ROWID;"
     "CREATE INDEX run_days_by_day ON run_days(day);"
     "CREATE INDEX runs_by_pairing ON runs(system, pairing);"
     "CREATE TRIGGER runs_into_days AFTER INSERT ON runs BEGIN "
     " INSERT INTO run_days VALUES (NEW.system, NEW.pairing, NEW.key, NEW.tempo, substr(NEW.played_at, 1, 10), 1,"
     "  NEW.grade_no, NEW.grade, NEW.played_at)"
     " ON CONFLICT DO UPDATE SET runs = runs + 1,"
     "  best_grade = CASE WHEN excluded.best_no > best_no THEN excluded.best_grade ELSE best_grade END,"
     "  best_at = CASE WHEN excluded.best_no > best_no THEN excluded.best_at ELSE best_at END,"
     "  best_no = max(best_no, excluded.best_no);"
     "END;"
     "INSERT INTO run_days SELECT system, pairing, key, tempo, substr(played_at, 1, 10), 1, grade_no, grade,"
     " played_at FROM runs WHERE true ORDER BY id"
     " ON CONFLICT DO UPDATE SET runs = runs + 1,"
     "  best_grade = CASE WHEN excluded.best_no > best_no THEN excluded.best_grade ELSE best_grade END,"
     "  best_at = CASE WHEN excluded.best_no > best_no THEN excluded.best_at ELSE best_at END,"
     "  best_no = max(best_no, excluded.best_no);"},
    // Heard runs kept note by note, with what the weak-notes page reads kept
    // up to date per system, pairing, day and written note; and the drill
    // kept apart from the key runs: its runs count for no key's badge, chart
    // or runs. Taking a run back corrects both summaries.
    {4,
     "ALTER TABLE runs ADD COLUMN kind TEXT NOT NULL DEFAULT 'key';"  // 'key' or 'drill'
     "CREATE INDEX drills_by_time ON runs(played_at) WHERE kind = 'drill';"
     "CREATE TABLE heard_notes ("
     " run INTEGER NOT NULL REFERENCES runs(id),"
     " place INTEGER NOT NULL,"    // in the exercise, from 0
     " written INTEGER NOT NULL,"  // the exercise's code of the written note
     " chart_line INTEGER NOT NULL,"
     " verdict TEXT NOT NULL CHECK (verdict IN ('o', 'x', '-')),"  // right, a wrong note, not heard
     " extra_before INTEGER NOT NULL CHECK (extra_before IN (0, 1)),"
     " cents REAL,"  // a right note's median deviation; NULL when not measured
     " PRIMARY KEY (run, place)) WITHOUT ROWID;"
     "CREATE TABLE note_days ("
     " system TEXT NOT NULL, pairing TEXT NOT NULL, day TEXT NOT NULL, written INTEGER NOT NULL,"
     " chart_line INTEGER NOT NULL,"  // the fingering it was last asked with that day
     " heard INTEGER NOT NULL, missed INTEGER NOT NULL,"
     " last_missed_at TEXT NOT NULL,"  // '' for none
     " cents_sum REAL NOT NULL, cents_count INTEGER NOT NULL,"
     " PRIMARY KEY (system, pairing, day, written)) WITHOUT ROWID;"
     // What one heard note adds to its day's row: a miss is a note not right
     // or one after an extra note; only right notes count for the tuning.
     "CREATE VIEW heard_note_days AS SELECT n.run AS run, n.place AS place, r.system AS system,"
     " r.pairing AS pairing, substr(r.played_at, 1, 10) AS day, n.written AS written, n.chart_line AS chart_line,"
     " 1 AS heard, (n.verdict <> 'o' OR n.extra_before) AS missed,"
     " CASE WHEN n.verdict <> 'o' OR n.extra_before THEN r.played_at ELSE '' END AS last_missed_at,"
     " CASE WHEN n.verdict = 'o' AND NOT n.extra_before AND n.cents IS NOT NULL THEN n.cents ELSE 0.0 END"
     "  AS cents_sum,"
     " (n.verdict = 'o' AND NOT n.extra_before AND n.cents IS NOT NULL) AS cents_count"
     " FROM heard_notes n JOIN runs r ON r.id = n.run;"
     "DROP TRIGGER runs_into_days;"
     "CREATE TRIGGER runs_into_days AFTER INSERT ON runs WHEN NEW.kind = 'key' BEGIN "
     " INSERT INTO run_days VALUES (NEW.system, NEW.pairing, NEW.key, NEW.tempo, substr(NEW.played_at, 1, 10), 1,"
     "  NEW.grade_no, NEW.grade, NEW.played_at)" TARVEL_RUN_DAYS_UPSERT ";"
     "END;"
     "CREATE TRIGGER notes_into_days AFTER INSERT ON heard_notes BEGIN "
     " INSERT INTO note_days SELECT " TARVEL_NOTE_DAYS_COLUMNS " FROM heard_note_days"
     "  WHERE run = NEW.run AND place = NEW.place" TARVEL_NOTE_DAYS_UPSERT ";"
     "END;"
     // A run taken back: its day's row worked out again from the runs that
     // remain (in the order they were added, as the first trigger did), and
     // the rows of its notes from the notes that remain; then its notes go.
     "CREATE TRIGGER runs_taken_back AFTER DELETE ON runs BEGIN "
     " DELETE FROM run_days WHERE OLD.kind = 'key' AND system = OLD.system AND pairing = OLD.pairing"
     "  AND key = OLD.key AND tempo = OLD.tempo AND day = substr(OLD.played_at, 1, 10);"
     " INSERT INTO run_days SELECT system, pairing, key, tempo, substr(played_at, 1, 10), 1, grade_no, grade,"
     "  played_at FROM runs WHERE OLD.kind = 'key' AND kind = 'key' AND system = OLD.system"
     "  AND pairing = OLD.pairing AND key = OLD.key AND tempo = OLD.tempo"
     "  AND substr(played_at, 1, 10) = substr(OLD.played_at, 1, 10) ORDER BY id" TARVEL_RUN_DAYS_UPSERT ";"
     " DELETE FROM note_days WHERE system = OLD.system AND pairing = OLD.pairing"
     "  AND day = substr(OLD.played_at, 1, 10) AND written IN (SELECT written FROM heard_notes WHERE run = OLD.id);"
     " INSERT INTO note_days SELECT " TARVEL_NOTE_DAYS_COLUMNS " FROM heard_note_days"
     "  WHERE system = OLD.system AND pairing = OLD.pairing AND day = substr(OLD.played_at, 1, 10)"
     "  AND written IN (SELECT written FROM heard_notes WHERE run = OLD.id)"
     "  ORDER BY run, place" TARVEL_NOTE_DAYS_UPSERT ";"
     " DELETE FROM heard_notes WHERE run = OLD.id;"
     "END;"},
};

// The pages' queries. None reads more rows than the pages show, or than the
// days, keys, tempi and notes played: never every run, nor every note.
constexpr const char* kBestSql =
    "SELECT key, tempo, max(best_no), best_grade FROM run_days WHERE system = ? AND pairing = ? GROUP BY key, tempo";
constexpr const char* kRunsPerKeySql =
    "SELECT key, sum(runs) FROM run_days WHERE system = ? AND pairing = ? GROUP BY key";
#define TARVEL_RUN_COLUMNS "played_at, system, pairing, key, tempo, answer, grade, grade_no, heard_slips, kind, id"
constexpr const char* kLastRunsSql =
    "SELECT " TARVEL_RUN_COLUMNS " FROM runs WHERE system = ? AND pairing = ? ORDER BY id DESC LIMIT ?";
constexpr const char* kDaysSql = "SELECT DISTINCT day FROM run_days WHERE day >= ? AND day <= ?";
constexpr const char* kDrillDaysSql = "SELECT played_at FROM runs WHERE kind = 'drill' AND played_at >= ?";
constexpr const char* kChartSql =
    "SELECT tempo, best_at, best_no FROM run_days WHERE system = ? AND pairing = ? AND key = ?";
constexpr const char* kNoteDaysSql =
    "SELECT day, written, chart_line, heard, missed, last_missed_at, cents_sum, cents_count FROM note_days"
    " WHERE system = ? AND pairing = ? AND day >= ? ORDER BY day, written";
constexpr const char* kKeyPracticeSql =
    "SELECT key, max(day), max(best_no) FROM run_days WHERE system = ? AND pairing = ? GROUP BY key";

constexpr const char* kInsert =
    "INSERT OR IGNORE INTO runs"
    " (played_at, system, pairing, key, tempo, answer, grade, grade_no, heard_slips, queued_as, kind)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertNote = "INSERT INTO heard_notes VALUES (?, ?, ?, ?, ?, ?, ?)";

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return rc_ == SQLITE_OK; }
    int prepareCode() const { return rc_; }
    sqlite3_stmt* get() const { return stmt_; }
    void bind(int i, const std::string& text) { sqlite3_bind_text(stmt_, i, text.c_str(), -1, SQLITE_TRANSIENT); }
    void bind(int i, std::string_view text) {
        sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, int value) { sqlite3_bind_int(stmt_, i, value); }
    void bind(int i, std::int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
    void bind(int i, double value) { sqlite3_bind_double(stmt_, i, value); }
    void bindNull(int i) { sqlite3_bind_null(stmt_, i); }
    int step() { return sqlite3_step(stmt_); }
    std::string text(int column) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return t ? t : "";
    }
    int integer(int column) const { return sqlite3_column_int(stmt_, column); }
    std::int64_t integer64(int column) const { return sqlite3_column_int64(stmt_, column); }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

// The run a query's row holds, its columns TARVEL_RUN_COLUMNS.
HistoryRun runAt(const Statement& row) {
    HistoryRun run;
    run.playedAt = row.text(0);
    run.system = row.text(1);
    run.pairing = row.text(2);
    run.key = row.text(3);
    run.tempo = row.text(4);
    run.answer = row.text(5);
    run.grade = row.text(6);
    run.gradeNo = row.integer(7);
    if (!row.isNull(8)) run.heardSlips = row.integer(8);
    run.kind = row.text(9);
    return run;
}
constexpr int kRunIdColumn = 10;

// Another connection holds the write lock.
bool isBusy(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool isDamage(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// What went wrong, for the player: in Japanese, with SQLite's own words as a detail.
std::string problemText(sqlite3* db) {
    if (!db) return "メモリが足りません（out of memory）";
    const int rc = sqlite3_extended_errcode(db);
    const int system = sqlite3_system_errno(db);
    std::string japanese;
    if (system == ENOSPC || system == EDQUOT || (rc & 0xff) == SQLITE_FULL) {
        japanese = tarvel::errorText(ENOSPC);
    } else {
        switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: japanese = "ほかのプログラムが書き込み中です"; break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: japanese = "ファイルが壊れています"; break;
        case SQLITE_NOMEM: japanese = "メモリが足りません"; break;
        case SQLITE_READONLY: japanese = system ? tarvel::errorText(system) : "書き込みが許されていません"; break;
        case SQLITE_PERM:
        case SQLITE_AUTH: japanese = tarvel::errorText(EACCES); break;
        case SQLITE_CANTOPEN: japanese = system ? tarvel::errorText(system) : "ファイルを開けません"; break;
        case SQLITE_IOERR: japanese = system ? tarvel::errorText(system) : tarvel::errorText(EIO); break;
        default: japanese = "SQLite のエラーです（コード " + std::to_string(rc) + "）";
        }
    }
    return japanese + "（" + sqlite3_errmsg(db) + "）";
}

// The integer result of a pragma, or the error code.
int pragmaInt(sqlite3* db, const char* sql, int& value) {
    Statement s(db, sql);
    if (!s.ok()) return s.prepareCode();
    const int rc = s.step();
    if (rc == SQLITE_ROW) {
        value = s.integer(0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d-%H%M%S", &local);
    return text;
}

// The history file or one of its log files, where it is a symbolic link.
std::optional<fs::path> linkAmong(const fs::path& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::path path = file;
        path += suffix;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(path, ec))) return path;
    }
    return std::nullopt;
}

}  // namespace

bool isHistoryFile(const fs::path& relative) {
    return relative.parent_path().empty() && relative.filename().string().rfind("tarvel-history", 0) == 0;
}

SqliteHistory::SqliteHistory(fs::path file) : file_(std::move(file)), pending_(file_) {}

void SqliteHistory::prepare() {
    if (opener_.joinable()) return;
    opener_ = std::thread([this] {
        const std::lock_guard lock(mutex_);
        if (!stopping_) ensureOpen();
    });
}

SqliteHistory::~SqliteHistory() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (opener_.joinable()) opener_.join();
    if (retrier_.joinable()) retrier_.join();
    // A last try; what still waits stays in the file for the next start.
    const std::lock_guard lock(mutex_);
    if (db_ && !readOnly_ && pending_.any()) addWaiting(kWriteWaitMs);
    close();
}

void SqliteHistory::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    readOnly_ = false;
}

void SqliteHistory::tell(const std::string& message, std::string key) {
    if (key == lastProblem_) return;
    lastProblem_ = std::move(key);
    messages_.push_back(message);
}

std::vector<std::string> SqliteHistory::takeMessages() {
    const std::lock_guard lock(mutex_);
    return std::exchange(messages_, {});
}

bool SqliteHistory::ensureOpen() {
    if (db_) return true;
    if (leftAlone_) return false;
    return openFile(true);
}

SqliteHistory::Verdict SqliteHistory::inspect(int& version, std::string& detail) {
    {
        Statement check(db_, "PRAGMA quick_check");
        int rc = check.ok() ? check.step() : check.prepareCode();
        if (rc == SQLITE_ROW && check.text(0) != "ok") {
            detail = check.text(0);
            return Verdict::Damaged;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            detail = problemText(db_);
            return isDamage(sqlite3_extended_errcode(db_)) || isDamage(rc) ? Verdict::Damaged : Verdict::Unreadable;
        }
    }
    int application = 0, objects = 0;
    for (auto [sql, out] :
         {std::pair{"PRAGMA application_id", &application}, std::pair{"PRAGMA user_version", &version},
          std::pair{"SELECT count(*) FROM sqlite_schema", &objects}}) {
        const int rc = pragmaInt(db_, sql, *out);
        if (rc != SQLITE_OK) {
            detail = problemText(db_);
            return isDamage(rc) ? Verdict::Damaged : Verdict::Unreadable;
        }
    }
    if (application == kApplicationId) return Verdict::Ours;
    if (application == 0 && objects == 0 && version == 0) return Verdict::Fresh;
    return Verdict::Foreign;
}

bool SqliteHistory::openFile(bool allowPutAside) {
    const std::string path = file_.string();
    // Never through a symbolic link: it may lead out of the data folder, to
    // another player's history.
    // Its log files neither.
    if (const std::optional<fs::path> link = linkAmong(file_)) {
        leftAlone_ = true;
        tell("記録の履歴 " + link->string() + " はシンボリックリンクなので、履歴を読み書きしません。\n" +
                 "成績は今まで通り記録フォルダに残ります。",
             "link");
        return false;
    }
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK) {
        const std::string detail = problemText(db_);
        close();
        if (openReadOnly(detail)) return true;
        tell("記録の履歴 " + path + " を開けません：" + detail + "。\n成績は今まで通り記録フォルダに残ります。",
             "open " + detail);
        return false;
    }
    sqlite3_busy_timeout(db_, kSchemaWaitMs);
    sqlite3_extended_result_codes(db_, 1);

    int version = 0;
    std::string detail;
    const Verdict verdict = inspect(version, detail);
    if (verdict == Verdict::Damaged || verdict == Verdict::Foreign) {
        close();
        if (!allowPutAside) return false;
        return putAside(verdict == Verdict::Damaged ? "damaged" : "foreign") && openFile(false);
    }
    if (verdict == Verdict::Unreadable) {
        close();
        if (openReadOnly(detail)) return true;
        tell("記録の履歴 " + path + " を読めません：" + detail + "。\n成績は今まで通り記録フォルダに残ります。",
             "read " + detail);
        return false;
    }
    if (version > kSchemaVersion) {
        close();
        leftAlone_ = true;
        tell("記録の履歴 " + path + " は新しい版の Tarvel が作ったものなので、この版では読み書きしません。\n" +
                 "成績は今まで通り記録フォルダに残ります。",
             "new");
        return false;
    }
    // Write-ahead logging: a run being written when the program dies is lost
    // alone; a second Tarvel reads while this one writes.
    bool wal = false;
    {
        Statement mode(db_, "PRAGMA journal_mode=WAL");
        wal = mode.ok() && mode.step() == SQLITE_ROW && mode.text(0) == "wal";
        if (!wal) detail = problemText(db_);
    }
    // Up to date, it needs no write lock to open: another program may hold it.
    const bool upToDate = verdict == Verdict::Ours && version == kSchemaVersion;
    if (!wal || (!upToDate && !migrate(detail))) {
        if (detail.empty()) detail = problemText(db_);
        close();
        if (openReadOnly(detail)) return true;
        tell("記録の履歴 " + path + " に書き込めません：" + detail + "。\n成績は今まで通り記録フォルダに残ります。",
             "write " + detail);
        return false;
    }
    sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    // Runs that waited when a program closed are added now, or soon.
    if (pending_.any() && !addWaiting(0)) startRetrying();
    return true;
}

// A folder that cannot be written still lets the history be read, as long as
// it has one; it is then read as it stands, and nothing is written.
bool SqliteHistory::openReadOnly(const std::string& whyNotWritten) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(file_, ec))) return false;
    const std::string uri = "file:" + file_.string() + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        close();
        return false;
    }
    int version = 0;
    std::string detail;
    if (inspect(version, detail) != Verdict::Ours || version != kSchemaVersion) {
        close();
        return false;
    }
    readOnly_ = true;
    whyReadOnly_ = whyNotWritten;
    return true;
}

// The version is read again inside the write transaction that brings the
// schema up to date: a second Tarvel starting on the same new folder has
// either made the whole schema already, or waits until this one has.
bool SqliteHistory::migrate(std::string& detail) {
    sqlite3_busy_timeout(db_, kSchemaWaitMs);
    auto fail = [&] {
        if (detail.empty()) detail = problemText(db_);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    int version = 0, application = 0;
    if (pragmaInt(db_, "PRAGMA user_version", version) != SQLITE_OK ||
        pragmaInt(db_, "PRAGMA application_id", application) != SQLITE_OK)
        return fail();
    if (application == kApplicationId && version >= kSchemaVersion) {
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        return true;
    }
    for (const Migration& step : kMigrations) {
        if (step.version <= version) continue;
        char* error = nullptr;
        if (sqlite3_exec(db_, step.sql, nullptr, nullptr, &error) != SQLITE_OK) {
            detail = problemText(db_);
            sqlite3_free(error);
            return fail();
        }
    }
    const std::string mark = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                             ";PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (sqlite3_exec(db_, mark.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    return true;
}

bool SqliteHistory::putAside(const char* reason) {
    // "tarvel-history-damaged-2026-12-07-150301.sqlite", with its log files.
    const std::string base = file_.stem().string() + "-" + reason + "-" + stamp();
    fs::path aside;
    std::error_code ec;
    for (int n = 1;; ++n) {
        aside = file_.parent_path() / (base + (n > 1 ? "-" + std::to_string(n) : "") + file_.extension().string());
        if (!fs::exists(aside, ec)) break;
    }
    fs::rename(file_, aside, ec);
    if (ec) {
        leftAlone_ = true;  // for the rest of this session
        tell("記録の履歴 " + file_.string() + " は" +
                 (std::string(reason) == "damaged" ? "壊れています" : "Tarvel の履歴ではありません") +
                 "が、脇によけることもできません：" + tarvel::errorText(ec.value()) +
                 "。\n成績は今まで通り記録フォルダに残ります。",
             "aside");
        return false;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        fs::path log = file_;
        log += suffix;
        fs::path logAside = aside;
        logAside += suffix;
        if (fs::exists(log, ec)) fs::rename(log, logAside, ec);
    }
    messages_.push_back("記録の履歴 " + file_.string() + " は" +
                        (std::string(reason) == "damaged" ? "壊れていて読めない" : "Tarvel の履歴ではない") + "ので、" +
                        aside.filename().string() + " という名前で残し、新しい履歴を始めました。");
    return true;
}

// Inside a write transaction: the run and its notes. A run already added
// under its token is left as it is.
int SqliteHistory::insert(const HistoryRun& run, const std::string& token) {
    Statement insert(db_, kInsert);
    if (!insert.ok()) return insert.prepareCode();
    insert.bind(1, run.playedAt);
    insert.bind(2, run.system);
    insert.bind(3, run.pairing);
    insert.bind(4, run.key);
    insert.bind(5, run.tempo);
    insert.bind(6, run.answer);
    insert.bind(7, run.grade);
    insert.bind(8, run.gradeNo);
    if (run.heardSlips)
        insert.bind(9, *run.heardSlips);
    else
        insert.bindNull(9);
    if (token.empty())
        insert.bindNull(10);
    else
        insert.bind(10, token);
    insert.bind(11, run.kind);
    const int rc = insert.step();
    if (rc != SQLITE_DONE || sqlite3_changes(db_) == 0) return rc;
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    Statement note(db_, kInsertNote);
    if (!note.ok()) return note.prepareCode();
    for (const HeardNote& n : run.notes) {
        note.bind(1, id);
        note.bind(2, n.place);
        note.bind(3, static_cast<int>(n.written));
        note.bind(4, static_cast<int>(n.chartLine));
        note.bind(5, std::string(1, n.verdict));
        note.bind(6, n.extraBefore ? 1 : 0);
        if (n.cents && std::isfinite(*n.cents))  // SQLite would keep a NaN as NULL anyway
            note.bind(7, *n.cents);
        else
            note.bindNull(7);
        if (const int stepped = note.step(); stepped != SQLITE_DONE) return stepped;
        note.reset();
    }
    return SQLITE_DONE;
}

int SqliteHistory::inTransaction(const std::function<int()>& work, std::string& detail) {
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        rc = work();
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        detail = problemText(db_);  // before the rollback, which would change it
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
}

void SqliteHistory::cannotAdd(int rc, const std::string& detail) {
    tell("この回の成績は記録フォルダに残しましたが、記録の履歴 " + file_.string() + " に書き込めませんでした：" +
             detail + "。",
         "add " + detail);
    if (isDamage(rc)) close();  // looked at again, and put aside, next time
}

bool SqliteHistory::add(const HistoryRun& run) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return false;
    if (readOnly_) {
        tell("記録の履歴 " + file_.string() + " に書き込めません：" + whyReadOnly_ +
                 "。\n成績は今まで通り記録フォルダに残ります。",
             "readonly");
        return false;
    }
    // Runs that wait for another program's lock go first: the new one joins them.
    if (!pending_.any()) {
        sqlite3_busy_timeout(db_, kWriteWaitMs);
        std::string detail;
        const int rc = inTransaction([&] { return insert(run, {}); }, detail);
        if (rc == SQLITE_OK) {
            lastProblem_.clear();
            return true;
        }
        if (!isBusy(rc)) {
            cannotAdd(rc, detail);
            return false;
        }
    }
    return queue(run);
}

// Another program holds the write lock: the run waits in the file beside
// the history, and a thread adds it when the lock is free.
bool SqliteHistory::queue(const HistoryRun& run) {
    {
        const PendingRuns::Lock folder = pending_.lock();
        std::vector<QueuedRun> waiting = pending_.read();
        waiting.push_back(QueuedRun{newToken(), run});
        if (const std::string error = pending_.write(waiting); !error.empty()) {
            tell("この回の成績は記録フォルダに残しましたが、記録の履歴 " + file_.string() +
                     " はほかのプログラムが書き込み中で、待たせておくファイル " + pending_.file().string() +
                     " も書けませんでした：" + error + "。",
                 "queue " + error);
            return false;
        }
    }
    startRetrying();
    return true;
}

void SqliteHistory::startRetrying() {
    if (retrying_) return;
    if (retrier_.joinable()) retrier_.join();  // it has ended: it set retrying_ to false last
    retrying_ = true;
    retrier_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            wake_.wait_for(lock, kRetryEvery);
            if (stopping_ || (db_ && !readOnly_ && addWaiting(0))) break;
        }
        retrying_ = false;
    });
}

// Adds the runs that wait, in order, in one transaction, and empties the
// file; false while the lock is still taken (or the history cannot be written).
bool SqliteHistory::addWaiting(int waitMs) {
    const PendingRuns::Lock folder = pending_.lock();
    const std::vector<QueuedRun> waiting = pending_.read();
    if (waiting.empty()) {
        pending_.write({});
        return true;
    }
    sqlite3_busy_timeout(db_, waitMs);
    std::string detail;
    const int rc = inTransaction(
        [&] {
            int added = SQLITE_DONE;
            for (std::size_t i = 0; added == SQLITE_DONE && i < waiting.size(); ++i)
                added = insert(waiting[i].run, waiting[i].token);
            return added;
        },
        detail);
    if (rc != SQLITE_OK) {
        if (!isBusy(rc)) cannotAdd(rc, detail);
        return false;
    }
    // Added: should the program die before the file is emptied, the tokens
    // keep the next one from adding them twice.
    pending_.write({});
    lastProblem_.clear();
    return true;
}

std::vector<std::string> SqliteHistory::pageQueries() {
    return {kBestSql, kRunsPerKeySql, kLastRunsSql, kDaysSql, kDrillDaysSql, kChartSql, kNoteDaysSql, kKeyPracticeSql};
}

std::optional<BestPerKey> SqliteHistory::best(std::string_view system, std::string_view pairing) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(BestPerKey{}) : std::nullopt;
    Statement select(db_, kBestSql);
    select.bind(1, system);
    select.bind(2, pairing);
    // One row per key and tempo: its best. The rule picks among them.
    std::vector<HistoryRun> bests;
    int rc = SQLITE_ROW;
    while (select.ok() && (rc = select.step()) == SQLITE_ROW) {
        HistoryRun& run = bests.emplace_back();
        run.system = system;
        run.pairing = pairing;
        run.key = select.text(0);
        run.tempo = select.text(1);
        run.grade = select.text(3);
        run.gradeNo = select.integer(2);
    }
    if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    return bestPerKey(bests, system, pairing);
}

std::optional<ProgressSummary> SqliteHistory::progress(std::string_view system, std::string_view pairing,
                                                       const CalendarDate& today, std::size_t count) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(ProgressSummary{}) : std::nullopt;
    ProgressSummary summary;
    {
        Statement select(db_, kRunsPerKeySql);
        select.bind(1, system);
        select.bind(2, pairing);
        int rc = SQLITE_ROW;
        while (select.ok() && (rc = select.step()) == SQLITE_ROW)
            if (const auto k = keyIndex(select.text(0)))
                summary.runsPerKey[static_cast<std::size_t>(*k)] = select.integer(1);
        if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    }
    {
        Statement select(db_, kLastRunsSql);
        select.bind(1, system);
        select.bind(2, pairing);
        select.bind(3, static_cast<int>(count));
        int rc = SQLITE_ROW;
        while (select.ok() && (rc = select.step()) == SQLITE_ROW) {
            summary.lastRuns.push_back(runAt(select));
            summary.lastRunIds.push_back(select.integer64(kRunIdColumn));
        }
        if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    }
    {
        // The days of key runs, and of drills (which have no days of their
        // own: a month of them is few); the rule counts each day once.
        std::vector<HistoryRun> days;
        for (const char* sql : {kDaysSql, kDrillDaysSql}) {
            Statement select(db_, sql);
            select.bind(1, firstDayCounted(today));
            if (sql == kDaysSql) select.bind(2, playedAtText(today, 23, 59, 59).substr(0, 10));
            int rc = SQLITE_ROW;
            while (select.ok() && (rc = select.step()) == SQLITE_ROW) days.emplace_back().playedAt = select.text(0);
            if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
        }
        summary.days = daysPractised(days, today);
    }
    return summary;
}

std::optional<ChartData> SqliteHistory::chart(std::string_view system, std::string_view pairing, std::string_view key) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(gradeChart({}, key)) : std::nullopt;
    Statement select(db_, kChartSql);
    select.bind(1, system);
    select.bind(2, pairing);
    select.bind(3, key);
    // One row per tempo and day: its best.
    std::vector<HistoryRun> days;
    int rc = SQLITE_ROW;
    while (select.ok() && (rc = select.step()) == SQLITE_ROW) {
        HistoryRun& day = days.emplace_back();
        day.playedAt = select.text(1);
        day.system = system;
        day.pairing = pairing;
        day.key = key;
        day.tempo = select.text(0);
        day.gradeNo = select.integer(2);
    }
    if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    std::sort(days.begin(), days.end(),
              [](const HistoryRun& a, const HistoryRun& b) { return a.playedAt < b.playedAt; });
    return gradeChart(days, key);
}

std::optional<HistorySummary> SqliteHistory::summary() {
    const std::lock_guard lock(mutex_);
    HistorySummary facts;
    facts.file = file_.string();
    if (nothingKept()) return facts;
    if (!ensureOpen()) return std::nullopt;
    Statement count(db_, "SELECT COUNT(*) FROM runs");
    if (!count.ok() || count.step() != SQLITE_ROW) return std::nullopt;
    facts.exists = true;
    facts.runs = static_cast<std::size_t>(count.integer(0));
    std::error_code ec;
    for (const char* suffix : {"", "-wal"}) {
        const auto bytes = fs::file_size(file_.string() + suffix, ec);
        if (!ec) facts.bytes += bytes;
    }
    return facts;
}

// Nothing kept yet is an empty history, not a failure.
bool SqliteHistory::nothingKept() {
    std::error_code ec;
    return !leftAlone_ && !fs::exists(fs::symlink_status(file_, ec));
}

std::nullopt_t SqliteHistory::cannotRead() {
    tell("記録の履歴 " + file_.string() + " を読めません：" + problemText(db_) + "。", "read");
    return std::nullopt;
}

std::optional<std::vector<NoteDay>> SqliteHistory::noteDays(std::string_view system, std::string_view pairing,
                                                            std::string_view fromDay) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(std::vector<NoteDay>{}) : std::nullopt;
    Statement select(db_, kNoteDaysSql);
    select.bind(1, system);
    select.bind(2, pairing);
    select.bind(3, fromDay);
    std::vector<NoteDay> days;
    int rc = SQLITE_ROW;
    while (select.ok() && (rc = select.step()) == SQLITE_ROW)
        days.push_back(NoteDay{select.text(0), static_cast<std::int16_t>(select.integer(1)),
                               static_cast<std::int16_t>(select.integer(2)), select.integer(3), select.integer(4),
                               select.text(5), select.real(6), select.integer(7)});
    if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    return days;
}

std::optional<std::vector<KeyPractice>> SqliteHistory::keyPractice(std::string_view system, std::string_view pairing) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(std::vector<KeyPractice>{}) : std::nullopt;
    Statement select(db_, kKeyPracticeSql);
    select.bind(1, system);
    select.bind(2, pairing);
    std::vector<KeyPractice> keys;
    int rc = SQLITE_ROW;
    while (select.ok() && (rc = select.step()) == SQLITE_ROW)
        if (const auto k = keyIndex(select.text(0))) keys.push_back(KeyPractice{*k, select.text(1), select.integer(2)});
    if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    std::sort(keys.begin(), keys.end(), [](const KeyPractice& a, const KeyPractice& b) { return a.key < b.key; });
    return keys;
}

bool SqliteHistory::remove(std::int64_t runId) {
    const std::lock_guard lock(mutex_);
    // Told every time: the player asked for it just now.
    const std::size_t told = messages_.size();
    auto cannot = [&](const std::string& why) {
        if (messages_.size() == told)
            messages_.push_back("記録の履歴 " + file_.string() + " からこの回を取り消せませんでした：" + why + "。");
        return false;
    };
    if (!ensureOpen()) return cannot(nothingKept() ? "履歴がまだありません" : "履歴を開けません");
    if (readOnly_) return cannot(whyReadOnly_);
    sqlite3_busy_timeout(db_, kRemoveWaitMs);
    // One statement is one transaction: the run, its notes and the days'
    // figures (the triggers) go together, or nothing does.
    Statement remove(db_, "DELETE FROM runs WHERE id = ?");
    remove.bind(1, runId);
    const int rc = remove.ok() ? remove.step() : remove.prepareCode();
    if (rc != SQLITE_DONE) {
        const std::string why = problemText(db_);
        if (isDamage(rc)) close();  // looked at again, and put aside, next time
        return cannot(why);
    }
    if (sqlite3_changes(db_) == 0) return cannot("その回はもう履歴にありません");
    return true;
}

std::optional<std::vector<HistoryRun>> SqliteHistory::runs(std::string_view system, std::string_view pairing,
                                                           bool withNotes) {
    const std::lock_guard lock(mutex_);
    if (!ensureOpen()) return nothingKept() ? std::optional(std::vector<HistoryRun>{}) : std::nullopt;
    const bool all = system.empty() && pairing.empty();
    // The runs and their notes as they stood at one moment.
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    struct EndRead {
        sqlite3* db;
        ~EndRead() {
            if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    } endRead{db_};
    Statement select(db_, all ? "SELECT " TARVEL_RUN_COLUMNS " FROM runs ORDER BY id"
                              : "SELECT " TARVEL_RUN_COLUMNS " FROM runs WHERE system = ? AND pairing = ? ORDER BY id");
    if (!all) {
        select.bind(1, system);
        select.bind(2, pairing);
    }
    std::vector<HistoryRun> result;
    std::vector<std::int64_t> ids;
    int rc = SQLITE_ROW;
    while (select.ok() && (rc = select.step()) == SQLITE_ROW) {
        result.push_back(runAt(select));
        ids.push_back(select.integer64(kRunIdColumn));
    }
    if (!select.ok() || rc != SQLITE_DONE) return cannotRead();
    if (!withNotes) return result;

    Statement notes(db_, all ? "SELECT run, place, written, chart_line, verdict, extra_before, cents"
                               " FROM heard_notes ORDER BY run, place"
                             : "SELECT n.run, n.place, n.written, n.chart_line, n.verdict, n.extra_before, n.cents"
                               " FROM heard_notes n JOIN runs r ON r.id = n.run"
                               " WHERE r.system = ? AND r.pairing = ? ORDER BY n.run, n.place");
    if (!all) {
        notes.bind(1, system);
        notes.bind(2, pairing);
    }
    std::size_t at = 0;  // both in the order of the runs' ids
    while (notes.ok() && (rc = notes.step()) == SQLITE_ROW) {
        const std::int64_t run = notes.integer64(0);
        while (at < ids.size() && ids[at] < run) ++at;
        if (at == ids.size() || ids[at] != run) continue;
        HeardNote& note = result[at].notes.emplace_back();
        note.place = notes.integer(1);
        note.written = static_cast<std::int16_t>(notes.integer(2));
        note.chartLine = static_cast<std::int16_t>(notes.integer(3));
        const std::string verdict = notes.text(4);
        note.verdict = verdict.empty() ? '?' : verdict[0];
        note.extraBefore = notes.integer(5) != 0;
        if (!notes.isNull(6)) note.cents = notes.real(6);
    }
    if (!notes.ok() || rc != SQLITE_DONE) return cannotRead();
    return result;
}

}  // namespace tarvel
