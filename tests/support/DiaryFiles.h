#pragma once

// Diary files for tests: writing a diary of known entries, reading a file's
// bytes and a folder's names back, and running SQL on a file behind the
// store's back.

#include "TestSupport.h"
#include "core/TextFolder.h"
#include "store/EntryValues.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace quillet::test {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Gives the file a modification time of its own (a second count past a fixed
// moment), as a sync engine's replacement has.
inline bool setModified(const QString& path, int seconds) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + seconds),
                            QFileDevice::FileModificationTime);
}

// Every name in the folder, hidden ones included, sorted.
inline QStringList folderNames(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Every file of the folder by name, with its bytes.
inline QMap<QString, QByteArray> folderContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    for (const QString& name : folderNames(folder)) {
        contents.insert(name, readBytes(folder + QLatin1Char('/') + name));
    }
    return contents;
}

inline EntryValues entryValues(const QString& uuid, const QString& text, int colorTag, int monthTag,
                               std::optional<double> timeStamp) {
    EntryValues v;
    v.uuid = uuid;
    v.entryText = text.isNull() ? QByteArray() : text.toUtf8();
    v.foldedText = TextFolder::fold(text);
    v.colorTag = colorTag;
    v.monthTag = monthTag;
    v.hasTimeStamp = timeStamp.has_value();
    v.timeStamp = timeStamp.value_or(0.0);
    return v;
}

// The diary's own record model, as the application loads it.
inline std::shared_ptr<ManagedObjectModel> entryModel() {
    return ManagedObjectModel::mergedModelFromBundles();
}

// Writes the entries in one save to a new or existing diary and closes it.
inline bool writeDiary(const QString& path, const std::vector<EntryValues>& entries) {
    Error error;
    std::unique_ptr<PersistentStore> store = PersistentStore::open(path, {}, &error);
    if (!store) {
        return false;
    }
    PersistentStore::Changes changes;
    for (const EntryValues& v : entries) {
        changes.inserted.push_back(&v);
    }
    return store->save(changes, nullptr, &error);
}

// A diary of n entries with texts "entry <i>" padded to about 300 bytes, so
// that it spans many pages.
inline std::vector<EntryValues> paddedEntries(int n) {
    std::vector<EntryValues> entries;
    for (int i = 0; i < n; ++i) {
        entries.push_back(entryValues(
            QStringLiteral("00000000-0000-0000-0000-%1").arg(i, 12, 10, QLatin1Char('0')),
            QStringLiteral("entry %1 ").arg(i) + QString(290, QLatin1Char('x')), i % 6,
            201200 + i % 12 + 1, 1.3e9 + i));
    }
    return entries;
}

// A connection of its own to the file, closed with it; it waits a moment for
// a lock, as any reader would (the diary's own copy-back may hold the log).
struct RawConnection {
    RawConnection(const QString& path, int flags) {
        opened =
            sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) == SQLITE_OK;
        sqlite3_busy_timeout(db, 2000);
    }
    ~RawConnection() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
    bool opened = false;
};

// Runs SQL on the file; false on any error.
inline bool rawExec(const QString& path, const char* sql) {
    RawConnection c(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    return c.opened && sqlite3_exec(c.db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of the first row a query gives on the file, read-only; empty on error.
inline QByteArray rawQuery(const QString& path, const char* sql) {
    RawConnection c(path, SQLITE_OPEN_READONLY);
    QByteArray value;
    sqlite3_stmt* s = nullptr;
    if (c.opened && sqlite3_prepare_v2(c.db, sql, -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        value = QByteArray(static_cast<const char*>(sqlite3_column_blob(s, 0)),
                           sqlite3_column_bytes(s, 0));
    }
    sqlite3_finalize(s);
    return value;
}

// The number of rows in the file's entry table as another reader sees it; -1 on error.
inline int rawCount(const QString& path, const char* where = "1") {
    const QByteArray count =
        rawQuery(path, ("SELECT count(*) FROM entry WHERE " + QByteArray(where)).constData());
    return count.isEmpty() ? -1 : count.toInt();
}

// Every row a query gives on the file, its columns joined by "|", through a
// connection of its own. Read-write, though it only reads: a read-only
// connection to a diary in WAL mode leaves its log files behind when it closes.
inline QStringList rawRows(const QString& path, const char* sql) {
    RawConnection c(path, SQLITE_OPEN_READWRITE);
    QStringList rows;
    sqlite3_stmt* s = nullptr;
    if (c.opened && sqlite3_prepare_v2(c.db, sql, -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList columns;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                columns << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
            }
            rows << columns.join(QLatin1Char('|'));
        }
    }
    sqlite3_finalize(s);
    return rows;
}

// The first page of the table or index `name` in the diary's bytes.
inline int rootPage(const QByteArray& diary, const char* name) {
    const QString path = makeTempDir() + QStringLiteral("/probe.sqlite");
    writeBytes(path, diary);
    return rawQuery(path, QByteArray("SELECT rootpage FROM sqlite_master WHERE name = '" +
                                     QByteArray(name) + "'")
                              .constData())
        .toInt();
}

} // namespace quillet::test
