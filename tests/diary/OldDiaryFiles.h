#pragma once

// Files of the previous generation for the import tests: the table
// `entries` as that application kept it, rows given value by value so that
// NULLs, numbers and blobs land in the file as they are.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QVariant>
#include <sqlite3.h>
#include <vector>

namespace quillet::test {

struct OldRow {
    QVariant uuid; // invalid: NULL
    QVariant text;
    QVariant colorTag;
    QVariant timeStamp;
    int trashed = 0;
};

inline OldRow oldRow(const QString& uuid, const QString& text, int colorTag = 0,
                     double timeStamp = 1.3e9, int trashed = 0) {
    return OldRow{uuid, text, colorTag, timeStamp, trashed};
}

// The previous generation's own table. Its columns are typed, so a number
// written into `uuid` becomes text, as SQLite does; kUntypedTable keeps it a number.
inline const char* const kOldTable =
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, uuid TEXT, entrytext TEXT, colortag INTEGER, "
    "timestamp REAL, trashed INTEGER)";
inline const char* const kUntypedTable =
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, uuid, entrytext, colortag, timestamp, trashed)";

inline void bindValue(sqlite3_stmt* s, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(s, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_bind_int64(s, index, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(s, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(s, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

// Writes a new file with the rows in order (its folder is made); false on any error.
inline bool writeOldDiary(const QString& path, const std::vector<OldRow>& rows,
                          const char* table = kOldTable) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, table, nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* insert = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db,
                            "INSERT INTO entries (uuid, entrytext, colortag, timestamp, trashed) "
                            "VALUES (?, ?, ?, ?, ?)",
                            -1, &insert, nullptr) == SQLITE_OK;
    for (const OldRow& row : rows) {
        if (!ok) {
            break;
        }
        sqlite3_reset(insert);
        bindValue(insert, 1, row.uuid);
        bindValue(insert, 2, row.text);
        bindValue(insert, 3, row.colorTag);
        bindValue(insert, 4, row.timeStamp);
        sqlite3_bind_int(insert, 5, row.trashed);
        ok = sqlite3_step(insert) == SQLITE_DONE;
    }
    sqlite3_finalize(insert);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return ok;
}

} // namespace quillet::test
