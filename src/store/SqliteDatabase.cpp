#include "store/SqliteDatabase.h"

#include "store/SqliteStatement.h"

#include <QFile>
#include <sqlite3.h>

namespace quillet {

SqliteDatabase::~SqliteDatabase() {
    close();
}

bool SqliteDatabase::open(const QString& path, int flags, Error* error) {
    close();
    path_ = path;
    const QByteArray native = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(native.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error) {
            *error = lastError(QStringLiteral("opened"));
        }
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    return true;
}

bool SqliteDatabase::openReadOnly(const QString& path, Error* error) {
    return open(path, SQLITE_OPEN_READONLY, error);
}

void SqliteDatabase::setBusyTimeout(int milliseconds) {
    if (db_ != nullptr) {
        sqlite3_busy_timeout(db_, milliseconds);
    }
}

QString SqliteDatabase::lastMessage() const {
    return QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(SQLITE_CANTOPEN));
}

void SqliteDatabase::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool SqliteDatabase::exec(const char* sql, Error* error) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        if (error) {
            *error = lastError(QStringLiteral("used"));
        }
        return false;
    }
    return true;
}

bool SqliteDatabase::queryInteger(const char* sql, qint64* result, Error* error) {
    SqliteStatement statement(db_, sql);
    if (!statement.isValid()) {
        if (error) {
            *error = lastError(QStringLiteral("used"));
        }
        return false;
    }
    const int rc = statement.step();
    if (rc == SQLITE_ROW) {
        *result = statement.columnInt64(0);
        return true;
    }
    if (rc == SQLITE_DONE) {
        *result = 0;
        return true;
    }
    if (error) {
        *error = lastError(QStringLiteral("used"));
    }
    return false;
}

Error SqliteDatabase::lastError(const QString& action) const {
    Error e;
    e.domain = kStoreErrorDomain;
    const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_CANTOPEN;
    const QString message = db_ ? QString::fromUtf8(sqlite3_errmsg(db_))
                                : QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
    switch (code & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        e.code = StoreCorruptError;
        e.localizedDescription = QStringLiteral("The diary file \u201c%1\u201d is damaged (%2) and "
                                                "can't be %3. It was left as it is.")
                                     .arg(path_, message, action);
        return e;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        e.code = StoreInUseError;
        break;
    default:
        e.code = StoreOpenError;
        break;
    }
    e.localizedDescription = QStringLiteral("The diary file \u201c%1\u201d could not be %2: %3.")
                                 .arg(path_, action, message);
    return e;
}

} // namespace quillet
