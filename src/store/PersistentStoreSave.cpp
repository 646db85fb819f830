// Writing: a save's one transaction (stamped for the exchange inside it), and
// the sync that makes saves that did not wait for the disk durable.
#include "store/PersistentStore.h"

#include "store/EntryRows.h"
#include "store/PersistentStoreErrors.h"
#include "store/cloud/CloudTables.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet {

using namespace detail;

bool PersistentStore::sync(Error* error) {
    if (!refusal_.isNull()) {
        if (error) {
            *error = refusal_;
        }
        return false;
    }
    if (!checkFileInPlace(error)) {
        return false;
    }
    if (!unsynced_) {
        return true;
    }
    // Every commit since the last checkpoint is in the log (a checkpoint
    // syncs what it copies into the file): syncing the log is enough.
    const int fd =
        ::open(QFile::encodeName(path_ + QStringLiteral("-wal")).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const bool synced = ::fsync(fd) == 0;
        const int reason = errno;
        ::close(fd);
        if (!synced) {
            if (error) {
                *error = storeError(
                    StoreSaveError,
                    QStringLiteral("The diary file \u201c%1\u201d could not be saved: %2.")
                        .arg(path_, QString::fromLocal8Bit(strerror(reason))));
            }
            return false;
        }
    }
    unsynced_ = false;
    return true;
}

bool PersistentStore::save(const Changes& changes, std::vector<qint64>* insertedKeys, Error* error,
                           bool waitForDisk) {
    if (!refusal_.isNull()) {
        if (error) {
            *error = refusal_;
        }
        return false;
    }
    if (!checkFileInPlace(error)) {
        return false;
    }
    settleFileIdentity();
    // In WAL mode NORMAL syncs only at checkpoints; FULL, the diary's way, at every commit.
    if (!waitForDisk) {
        db_.exec("PRAGMA synchronous = NORMAL", nullptr);
    }
    struct Restore {
        SqliteDatabase& db;
        bool active;
        ~Restore() {
            if (active) {
                db.exec("PRAGMA synchronous = FULL", nullptr);
            }
        }
    } restore{db_, !waitForDisk};
    auto fail = [&](const QString& action) {
        if (error) {
            *error = db_.lastError(action);
            error->code = StoreSaveError;
        }
        db_.exec("ROLLBACK", nullptr);
        return false;
    };
    if (!db_.exec("BEGIN IMMEDIATE", nullptr)) {
        if (error) {
            *error = db_.lastError(QStringLiteral("saved"));
            error->code = StoreSaveError;
        }
        return false;
    }
    // Stamped and queued for the change log in the same transaction.
    if (!cloud::recordSave(db_, changes, nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    std::vector<qint64> keys;
    {
        SqliteStatement insert(
            db_.handle(),
            "INSERT INTO entry (uuid, entryText, colorTag, monthTag, timeStamp, foldedText) "
            "VALUES (?, ?, ?, ?, ?, ?)");
        // One update statement per set of columns written, made when first needed.
        std::map<unsigned, std::unique_ptr<SqliteStatement>> updates;
        SqliteStatement remove(db_.handle(), "DELETE FROM entry WHERE key = ?");
        if (!insert.isValid() || !remove.isValid()) {
            return fail(QStringLiteral("saved"));
        }
        for (const EntryValues* v : changes.inserted) {
            insert.reset();
            bindValues(insert, *v);
            if (insert.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
            keys.push_back(sqlite3_last_insert_rowid(db_.handle()));
        }
        for (const Update& u : changes.updated) {
            const unsigned columns = columnsWritten(u.changedKeys);
            if (columns == 0) {
                continue;
            }
            std::unique_ptr<SqliteStatement>& update = updates[columns];
            if (!update) {
                update = std::make_unique<SqliteStatement>(db_.handle(),
                                                           updateStatement(columns).constData());
                if (!update->isValid()) {
                    return fail(QStringLiteral("saved"));
                }
            } else {
                update->reset();
            }
            bindColumns(*update, *u.values, columns);
            update->bindInt64(7, u.key);
            if (update->step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
            if (sqlite3_changes(db_.handle()) == 0) {
                // The row went meanwhile (removed elsewhere): the change has
                // nowhere to go, and saying it was saved would lose it unseen.
                db_.exec("ROLLBACK", nullptr);
                if (error) {
                    *error = storeError(StoreEntryGoneError,
                                        QStringLiteral("The diary could not be saved because an "
                                                       "entry being saved is no longer in the "
                                                       "diary file."));
                }
                return false;
            }
        }
        for (qint64 key : changes.deleted) {
            remove.reset();
            remove.bindInt64(1, key);
            if (remove.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
        }
    }
    if (!db_.exec("COMMIT", nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    // A commit that waited for the disk took every earlier one with it: they share the log.
    unsynced_ = !waitForDisk;
    if (insertedKeys) {
        *insertedKeys = std::move(keys);
    }
    if (commitObserver_) {
        commitObserver_();
    }
    return true;
}

} // namespace quillet
