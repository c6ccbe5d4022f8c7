#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace OrvaneRefService {

// A failure of the database, with SQLite's own explanation.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SqliteStatement;

// One open SQLite database file. Not thread-safe: the owner serialises use.
class SqliteDatabase {
public:
    explicit SqliteDatabase(const std::string& path);

    // Runs one or more statements that return no rows.
    void Execute(const std::string& sql);
    SqliteStatement Prepare(const std::string& sql);
    std::int64_t LastInsertedRowId() const;
    int ChangedRows() const;

private:
    friend class SqliteStatement;
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> handle_;
};

// One prepared statement. Bind parameters are numbered from 1, columns from 0.
class SqliteStatement {
public:
    SqliteStatement& Bind(int index, const std::string& text);
    SqliteStatement& Bind(int index, std::int64_t number);
    // Steps once; true while a row is available.
    bool Step();
    // Steps until the statement is done (for statements without rows).
    void Run();
    std::string ColumnText(int column) const;
    std::int64_t ColumnInt(int column) const;

private:
    friend class SqliteDatabase;
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    SqliteStatement(sqlite3* db, sqlite3_stmt* statement);
    void Check(int result) const;

    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> handle_;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

private:
    SqliteDatabase& db_;
    bool committed_ = false;
};

}  // namespace OrvaneRefService
