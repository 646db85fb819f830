// Copies of the diary that must never exist half-written: the one kept before
// an upgrade and the ones asked for (a backup, a move), each renamed into place whole.
#include "store/PersistentStore.h"

#include "core/FolderSync.h"
#include "core/PrivateFile.h"
#include "store/PersistentStoreErrors.h"
#include "store/SqliteStatement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <sqlite3.h>

namespace quillet {

using detail::storeError;

namespace {

// Copies the open database `source` page by page (SQLite's backup, so the copy
// is consistent whatever else reads it) into a new owner-only file, renamed
// to `destination` once complete and on disk. False with why not in `reason`.
bool writeCopy(sqlite3* source, const QString& destination, QString* reason) {
    const QString temporary =
        destination + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    const bool written = PrivateFile::replaceThroughTemporary(
        destination, temporary,
        [&](int, QString* why) {
            SqliteDatabase copy;
            Error error;
            if (!copy.open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error)) {
                *why = error.localizedDescription;
                return false;
            }
            sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source, "main");
            if (!backup) {
                *why = copy.lastMessage();
                return false;
            }
            const int stepped = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (stepped != SQLITE_DONE) {
                *why = QString::fromUtf8(sqlite3_errstr(stepped));
                return false;
            }
            // One self-contained file: read (or copied back) without a log beside it.
            if (!copy.exec("PRAGMA journal_mode = DELETE", &error)) {
                *why = error.localizedDescription;
                return false;
            }
            return true;
        },
        reason);
    if (!written) {
        for (const char* side : {"-journal", "-wal", "-shm"}) {
            QFile::remove(temporary + QLatin1String(side));
        }
        return false;
    }
    syncFolder(QFileInfo(destination).absolutePath());
    return true;
}

Error copyError(const QString& destination, const QString& reason) {
    return storeError(
        StoreSaveError,
        QStringLiteral("The diary could not be copied to “%1”: %2.").arg(destination, reason));
}

} // namespace

bool PersistentStore::keepCopy(const QString& copy, Error* error) {
    // Written under a temporary name and renamed when complete, so that the
    // name only ever stands for a whole copy. The copy holds diary text: it
    // is private from the moment it exists.
    const QString temporary =
        copy + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    QString reason;
    const bool kept = PrivateFile::replaceThroughTemporary(
        copy, temporary,
        [&](int, QString* why) {
            SqliteStatement vacuum(db_.handle(), "VACUUM INTO ?");
            if (!vacuum.isValid() || !vacuum.bindText(1, temporary) ||
                vacuum.step() != SQLITE_DONE) {
                *why = db_.lastMessage();
                return false;
            }
            return true;
        },
        &reason);
    if (!kept) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral(
                    "a copy of it as it was could not be written to \u201c%1\u201d (%2).")
                    .arg(copy, reason));
        }
        return false;
    }
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool PersistentStore::copyTo(const QString& destination, Error* error) const {
    QString reason;
    if (!writeCopy(db_.handle(), destination, &reason)) {
        if (error) {
            *error = copyError(destination, reason);
        }
        return false;
    }
    return true;
}

bool PersistentStore::copyFile(const QString& source, const QString& destination, Error* error) {
    SqliteDatabase db;
    if (!db.open(source, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error)) {
        return false;
    }
    db.setBusyTimeout(5000);
    QString reason;
    if (!writeCopy(db.handle(), destination, &reason)) {
        if (error) {
            *error = copyError(destination, reason);
        }
        return false;
    }
    return true;
}

} // namespace quillet
