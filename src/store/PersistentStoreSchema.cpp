// The diary's format: the schema a new file is made with, and the steps that
// bring an older file up to this version, kept together so they stay in step.
#include "store/PersistentStore.h"

#include "core/FolderSync.h"
#include "store/PersistentStoreErrors.h"
#include "store/cloud/CloudTables.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet {

using detail::storeError;

namespace {

// The application id and the format version live in the file's header. A
// new diary is made at version 1 and brought up to the current version by
// the same steps as an old one, so that every diary has been through them.
const char* const kCreateSchema = R"sql(
    PRAGMA journal_mode = WAL;
    PRAGMA application_id = %1;
    PRAGMA user_version = 1;
    CREATE TABLE entry (
        key INTEGER PRIMARY KEY,
        uuid TEXT,
        entryText TEXT,
        colorTag INTEGER NOT NULL DEFAULT 0,
        monthTag INTEGER NOT NULL DEFAULT 0,
        timeStamp REAL,
        foldedText TEXT NOT NULL DEFAULT ''
    );
)sql";

// The format steps: step i brings a diary of version i + 1 to version i + 2.
// They run inside the upgrade's one transaction. A new format is one more
// function at the end of the list (and one more test).
using UpgradeStep = bool (*)(SqliteDatabase& db, Error* error);

// 2: an identifier is found without reading the whole table.
bool addUuidIndex(SqliteDatabase& db, Error* error) {
    return db.exec("CREATE INDEX entry_uuid ON entry (uuid)", error);
}

// 3: a month's entries are found without reading the whole table, so that
// the first screen is read before the rest of the diary.
bool addMonthIndex(SqliteDatabase& db, Error* error) {
    return db.exec("CREATE INDEX entry_month ON entry (monthTag)", error);
}

// 4: the change-log exchange (store/cloud).
constexpr UpgradeStep kUpgradeSteps[] = {addUuidIndex, addMonthIndex, cloud::addCloudTables};
static_assert(std::size(kUpgradeSteps) + 1 == PersistentStore::kSchemaVersion,
              "one upgrade step for every format after the first");

// Brings the open diary from version `from` to the current one in one
// transaction: all of the steps or none of them.
bool runUpgradeSteps(SqliteDatabase& db, qint64 from, Error* error) {
    if (!db.exec("BEGIN IMMEDIATE", error)) {
        return false;
    }
    for (qint64 version = from; version < PersistentStore::kSchemaVersion; ++version) {
        if (!kUpgradeSteps[version - 1](db, error)) {
            db.exec("ROLLBACK", nullptr);
            return false;
        }
    }
    const QByteArray stamp =
        QByteArray("PRAGMA user_version = ") + QByteArray::number(PersistentStore::kSchemaVersion);
    if (!db.exec(stamp.constData(), error) || !db.exec("COMMIT", error)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

} // namespace

bool PersistentStore::create(Error* error) {
    // Built under a temporary name and renamed into place, so that an
    // interrupted creation never leaves a half-made diary under the real name.
    const QString temporary =
        path_ + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(temporary);
    {
        const int fd = ::open(QFile::encodeName(temporary).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (error) {
                *error = storeError(
                    StoreOpenError,
                    QStringLiteral("The diary file \u201c%1\u201d could not be created: %2.")
                        .arg(path_, QString::fromLocal8Bit(strerror(errno))));
            }
            return false;
        }
        ::close(fd);
    }
    SqliteDatabase db;
    const QByteArray schema = QString::fromLatin1(kCreateSchema).arg(kApplicationId).toLatin1();
    if (!db.open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error) ||
        !db.exec(schema.constData(), error) || !runUpgradeSteps(db, 1, error)) {
        db.close();
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-wal"));
        QFile::remove(temporary + QStringLiteral("-shm"));
        return false;
    }
    db.close(); // the last connection checkpoints and removes the WAL
    // A log left beside a diary that is gone belongs to no file; SQLite would
    // replay it into the new one.
    for (const char* side : {"-wal", "-shm", "-journal"}) {
        QFile::remove(path_ + QLatin1String(side));
    }
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path_).constData()) !=
        0) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary file \u201c%1\u201d could not be created.").arg(path_));
        }
        QFile::remove(temporary);
        return false;
    }
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool PersistentStore::validate(Error* error) {
    qint64 applicationId = 0;
    qint64 version = 0;
    if (!db_.queryInteger("PRAGMA application_id", &applicationId, error) ||
        !db_.queryInteger("PRAGMA user_version", &version, error)) {
        return false;
    }
    if (applicationId != kApplicationId) {
        if (error) {
            *error = storeError(
                StoreIncompatibleVersionError,
                QStringLiteral(
                    "The file \u201c%1\u201d is not a Quillet diary; it was left as it is.")
                    .arg(path_));
        }
        return false;
    }
    if (version < 1 || version > kSchemaVersion) {
        if (error) {
            *error = storeError(
                StoreIncompatibleVersionError,
                QStringLiteral(
                    "The diary \u201c%1\u201d has a format this version of Quillet can't read "
                    "(format %2; this version reads format %3). It was left as it is.")
                    .arg(path_)
                    .arg(version)
                    .arg(kSchemaVersion));
        }
        return false;
    }
    // Already WAL in every file this program made, so this writes nothing.
    if (!db_.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;", error)) {
        return false;
    }
    return version == kSchemaVersion || upgrade(version, error);
}

bool PersistentStore::upgrade(qint64 from, Error* error) {
    const QString copy = path_ + QStringLiteral(".v%1").arg(from);
    // Committed changes still in the log (the last session ended without
    // closing the diary) belong to the file as it was.
    const bool logBefore = QFileInfo(path_ + QStringLiteral("-wal")).size() > 0;
    Error why;
    if (!keepCopy(copy, &why) || !runUpgradeSteps(db_, from, &why)) {
        // Rolled back. Closing would fold a log left from before into the
        // file: it stays as it is then, and the file byte for byte as it was.
        if (logBefore) {
            sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        }
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary \u201c%1\u201d could not be brought up to the format of "
                               "this version of Quillet (%2 to %3): %4 It was left as it is.")
                    .arg(path_, QString::number(from), QString::number(kSchemaVersion),
                         why.localizedDescription));
        }
        return false;
    }
    return true;
}

} // namespace quillet
