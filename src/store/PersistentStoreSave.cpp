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
#include <sys/stat.h>
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
    if (!writeChanges(db_, changes, insertedKeys, error)) {
        return false;
    }
    // A commit that waited for the disk took every earlier one with it: they share the log.
    unsynced_ = !waitForDisk;
    if (commitObserver_) {
        commitObserver_();
    }
    return true;
}

bool PersistentStore::saveAside(const Changes& changes, Error* error) {
    if (!changes.inserted.empty()) {
        if (error) {
            *error = storeError(StoreSaveError,
                                QStringLiteral("The diary could not be saved: new entries are "
                                               "saved with the window's connection."));
        }
        return false;
    }
    if (!aside_.isOpen()) {
        if (!aside_.open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error)) {
            return false;
        }
        // Opened by name: it must be the file the store opened, not one put in its place since.
        struct stat opened {};
        if (::stat(QFile::encodeName(path_).constData(), &opened) != 0 ||
            quint64(opened.st_dev) != device_ || quint64(opened.st_ino) != inode_) {
            aside_.close();
            if (error) {
                *error = storeError(StoreFileMovedError,
                                    QStringLiteral("The diary file \u201c%1\u201d was moved, "
                                                   "replaced or deleted while Quillet had it open.")
                                        .arg(path_));
            }
            return false;
        }
        aside_.setBusyTimeout(5000);
        aside_.exec("PRAGMA synchronous = NORMAL", nullptr);
        sqlite3_wal_hook(aside_.handle(), &PersistentStore::asideLogGrew, this);
    }
    const bool written = writeChanges(aside_, changes, nullptr, error);
    // Its pages were only this save's.
    aside_.exec("PRAGMA shrink_memory", nullptr);
    return written;
}

void PersistentStore::savedAside() {
    unsynced_ = true;
    if (asideLogFull_.exchange(false)) {
        checkpointAside();
    }
    if (commitObserver_) {
        commitObserver_();
    }
}

int PersistentStore::asideLogGrew(void* store, sqlite3*, const char*, int frames) {
    // Copied back once the save is over, from the store's own thread (logGrew).
    if (frames >= kCheckpointFrames) {
        static_cast<PersistentStore*>(store)->asideLogFull_.store(true);
    }
    return SQLITE_OK;
}

bool PersistentStore::writeChanges(SqliteDatabase& db, const Changes& changes,
                                   std::vector<qint64>* insertedKeys, Error* error) {
    auto fail = [&](const QString& action) {
        if (error) {
            *error = db.lastError(action);
            error->code = StoreSaveError;
        }
        db.exec("ROLLBACK", nullptr);
        return false;
    };
    if (!db.exec("BEGIN IMMEDIATE", nullptr)) {
        if (error) {
            *error = db.lastError(QStringLiteral("saved"));
            error->code = StoreSaveError;
        }
        return false;
    }
    // Stamped and queued for the change log in the same transaction.
    if (!cloud::recordSave(db, changes, nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    std::vector<qint64> keys;
    {
        SqliteStatement insert(
            db.handle(),
            "INSERT INTO entry (uuid, entryText, colorTag, monthTag, timeStamp, foldedText) "
            "VALUES (?, ?, ?, ?, ?, ?)");
        // One update statement per set of columns written, made when first needed.
        std::map<unsigned, std::unique_ptr<SqliteStatement>> updates;
        SqliteStatement remove(db.handle(), "DELETE FROM entry WHERE key = ?");
        if (!insert.isValid() || !remove.isValid()) {
            return fail(QStringLiteral("saved"));
        }
        for (const EntryValues* v : changes.inserted) {
            insert.reset();
            bindValues(insert, *v);
            if (insert.step() != SQLITE_DONE) {
                return fail(QStringLiteral("saved"));
            }
            keys.push_back(sqlite3_last_insert_rowid(db.handle()));
        }
        for (const Update& u : changes.updated) {
            const unsigned columns = columnsWritten(u.changedKeys);
            if (columns == 0) {
                continue;
            }
            std::unique_ptr<SqliteStatement>& update = updates[columns];
            if (!update) {
                update = std::make_unique<SqliteStatement>(db.handle(),
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
            if (sqlite3_changes(db.handle()) == 0) {
                // The row went meanwhile (removed elsewhere): the change has
                // nowhere to go, and saying it was saved would lose it unseen.
                db.exec("ROLLBACK", nullptr);
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
    if (!db.exec("COMMIT", nullptr)) {
        return fail(QStringLiteral("saved"));
    }
    if (insertedKeys) {
        *insertedKeys = std::move(keys);
    }
    return true;
}

} // namespace quillet
