// The exchange's tables: their schema, the values kept in cloudState, and the
// store's identity as a writer; saving, applying and the outbox have files of their own.
#include "store/cloud/CloudTables.h"

#include "store/SqliteStatement.h"
#include "store/cloud/CloudTablesDetail.h"

#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

namespace quillet::cloud {

namespace detail {

Error cloudError(SqliteDatabase& db, const QString& action) {
    Error e = db.lastError(action);
    return e;
}

QString stateValue(SqliteDatabase& db, const char* name) {
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = ?");
    s.bindText(1, QString::fromLatin1(name));
    return s.step() == SQLITE_ROW ? s.columnText(0) : QString();
}

bool setStateValue(SqliteDatabase& db, const char* name, const QString& value) {
    SqliteStatement s(db.handle(), "INSERT OR REPLACE INTO cloudState (name, value) VALUES (?, ?)");
    s.bindText(1, QString::fromLatin1(name));
    s.bindText(2, value);
    return s.step() == SQLITE_DONE;
}

QString writerText(const QUuid& writer) {
    return writer.toString(QUuid::WithoutBraces);
}

bool enqueue(SqliteDatabase& db, const QString& uuid) {
    SqliteStatement s(db.handle(), "INSERT OR IGNORE INTO outbox (uuid) VALUES (?)");
    s.bindText(1, uuid);
    return s.step() == SQLITE_DONE;
}

} // namespace detail

using namespace detail;

bool addCloudTables(SqliteDatabase& db, Error* error) {
    if (!db.exec(R"sql(
            CREATE TABLE cloudState (name TEXT PRIMARY KEY, value) WITHOUT ROWID;
            CREATE TABLE entryClock (uuid TEXT PRIMARY KEY, state TEXT NOT NULL) WITHOUT ROWID;
            CREATE TABLE textSuperseded (uuid TEXT, clock INTEGER, writer TEXT,
                                         PRIMARY KEY (uuid, clock, writer)) WITHOUT ROWID;
            CREATE TABLE outbox (uuid TEXT PRIMARY KEY) WITHOUT ROWID;
            CREATE TABLE claimedLog (sequence INTEGER PRIMARY KEY, bytes TEXT NOT NULL);
            CREATE TABLE appliedLog (writer TEXT PRIMARY KEY, sequence INTEGER NOT NULL) WITHOUT ROWID;
            INSERT INTO cloudState (name, value) VALUES ('clock', 0), ('nextSequence', 1);
            -- What the diary held before it could be logged goes out with the first log.
            INSERT OR IGNORE INTO outbox (uuid) SELECT uuid FROM entry WHERE uuid IS NOT NULL;
        )sql",
                 error)) {
        return false;
    }
    if (!setStateValue(db, "storeId", writerText(QUuid::createUuid()))) {
        if (error)
            *error = cloudError(db, QStringLiteral("upgraded"));
        return false;
    }
    return true;
}

QUuid storeIdentifier(SqliteDatabase& db) {
    return QUuid::fromString(stateValue(db, "storeId"));
}

bool adoptFileIdentity(SqliteDatabase& db, const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return false;
    }
    const QString identity =
        QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
    const QString known = stateValue(db, "fileIdentity");
    if (known == identity) {
        return true;
    }
    if (!db.exec("BEGIN IMMEDIATE", nullptr)) {
        return false;
    }
    bool ok = setStateValue(db, "fileIdentity", identity);
    if (ok && !known.isNull()) {
        const QString old = stateValue(db, "storeId");
        const qint64 last = stateValue(db, "nextSequence").toLongLong() - 1;
        SqliteStatement applied(
            db.handle(), "INSERT OR REPLACE INTO appliedLog (writer, sequence) VALUES (?, ?)");
        applied.bindText(1, old);
        applied.bindInt64(2, last);
        // Logs claimed but not written belong to the old writer's sequence;
        // what they hold is queued again for the new one.
        ok = applied.step() == SQLITE_DONE;
        SqliteStatement claimed(db.handle(), "SELECT bytes FROM claimedLog");
        while (ok && claimed.step() == SQLITE_ROW) {
            ChangeLog log;
            if (decodeChangeLog(QByteArray::fromBase64(claimed.columnUtf8(0)), &log, nullptr) ==
                DecodeStatus::Ok) {
                for (const EntryState& e : log.entries)
                    ok = ok && enqueue(db, e.uuid);
            }
        }
        ok = ok && db.exec("DELETE FROM claimedLog", nullptr) &&
             setStateValue(db, "storeId", writerText(QUuid::createUuid())) &&
             setStateValue(db, "nextSequence", QStringLiteral("1")) &&
             setStateValue(db, "publishedClock", QStringLiteral("0"));
    }
    if (!ok || !db.exec("COMMIT", nullptr)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

quint64 appliedSequence(SqliteDatabase& db, const QUuid& writer) {
    SqliteStatement s(db.handle(), "SELECT sequence FROM appliedLog WHERE writer = ?");
    s.bindText(1, writerText(writer));
    return s.step() == SQLITE_ROW ? quint64(s.columnInt64(0)) : 0;
}

std::vector<std::pair<QUuid, quint64>> appliedSequences(SqliteDatabase& db) {
    std::vector<std::pair<QUuid, quint64>> applied;
    SqliteStatement s(db.handle(), "SELECT writer, sequence FROM appliedLog ORDER BY writer");
    while (s.step() == SQLITE_ROW) {
        applied.emplace_back(QUuid::fromString(s.columnText(0)), quint64(s.columnInt64(1)));
    }
    return applied;
}

} // namespace quillet::cloud
