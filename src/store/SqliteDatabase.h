#pragma once

#include "core/Error.h"

#include <QString>

struct sqlite3;

namespace quillet {

// An open SQLite connection, closed with the object. Errors are returned as
// the diary's Error with SQLite's own message, never swallowed.
class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // flags are sqlite3_open_v2's.
    bool open(const QString& path, int flags, Error* error);
    // Reads an existing file and never writes it (nor a journal or log of it).
    bool openReadOnly(const QString& path, Error* error);
    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Runs statements that return no rows.
    bool exec(const char* sql, Error* error);
    // Runs a statement that answers one integer (a PRAGMA, a COUNT).
    bool queryInteger(const char* sql, qint64* result, Error* error);

    // An Error describing the connection's last failure; action completes
    // "could not be ..." ("opened", "read", "saved").
    Error lastError(const QString& action) const;
    // SQLite's own words for the last failure.
    QString lastMessage() const;
    QString path() const { return path_; }

private:
    sqlite3* db_ = nullptr;
    QString path_;
};

} // namespace quillet
