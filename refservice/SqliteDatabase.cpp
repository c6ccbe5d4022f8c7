#include "SqliteDatabase.h"

#include <sqlite3.h>

namespace OrvaneRefService {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw StoreError(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory"));
}

}  // namespace

void SqliteDatabase::Closer::operator()(sqlite3* db) const { sqlite3_close(db); }

SqliteDatabase::SqliteDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    handle_.reset(db);  // a handle is returned even on failure and must be closed
    if (result != SQLITE_OK) {
        Fail(db, "cannot open database " + path);
    }
    // Several requests may wait for the lock briefly; foreign keys keep rows consistent.
    sqlite3_busy_timeout(db, 5000);
    Execute("PRAGMA foreign_keys = ON");
}

void SqliteDatabase::Execute(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(handle_.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw StoreError("database statement failed: " + text);
    }
}

SqliteStatement SqliteDatabase::Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_.get(), sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        Fail(handle_.get(), "cannot prepare statement");
    }
    return SqliteStatement(handle_.get(), statement);
}

std::int64_t SqliteDatabase::LastInsertedRowId() const { return sqlite3_last_insert_rowid(handle_.get()); }

int SqliteDatabase::ChangedRows() const { return sqlite3_changes(handle_.get()); }

void SqliteStatement::Finalizer::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

SqliteStatement::SqliteStatement(sqlite3* db, sqlite3_stmt* statement) : db_(db), handle_(statement) {}

void SqliteStatement::Check(int result) const {
    if (result != SQLITE_OK) {
        Fail(db_, "cannot bind parameter");
    }
}

SqliteStatement& SqliteStatement::Bind(int index, const std::string& text) {
    Check(sqlite3_bind_text(handle_.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t number) {
    Check(sqlite3_bind_int64(handle_.get(), index, number));
    return *this;
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(handle_.get());
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result != SQLITE_DONE) {
        Fail(db_, "database statement failed");
    }
    return false;
}

void SqliteStatement::Run() {
    while (Step()) {
    }
}

std::string SqliteStatement::ColumnText(int column) const {
    const auto* text = sqlite3_column_text(handle_.get(), column);
    const int length = sqlite3_column_bytes(handle_.get(), column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length))
                           : std::string();
}

std::int64_t SqliteStatement::ColumnInt(int column) const { return sqlite3_column_int64(handle_.get(), column); }

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
    if (!committed_) {
        try {
            db_.Execute("ROLLBACK");
        } catch (const StoreError&) {
            // The transaction is already gone (SQLite rolled it back itself).
        }
    }
}

void SqliteTransaction::Commit() {
    db_.Execute("COMMIT");
    committed_ = true;
}

}  // namespace OrvaneRefService
