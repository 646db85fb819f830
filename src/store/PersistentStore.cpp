// The store's face: opening a diary through the checks, the schema, the lock
// and the first read, each kept in a PersistentStore*.cpp file of its own.
#include "store/PersistentStore.h"

#include "store/PersistentStoreErrors.h"
#include "store/StoreFileCheck.h"
#include "store/StoreOptions.h"
#include "store/cloud/CloudTables.h"

#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

using detail::storeError;

namespace {

// A diary up to this size is checked page by page before it is opened for
// writing; a larger one while its rest is read beside the window.
constexpr qint64 kWholeCheckBeforeOpenBytes = 8 << 20;

} // namespace

PersistentStore::~PersistentStore() {
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    rowByKey_.reset();
    textByKey_.reset();
    // Closed first: with the window's connection still open it never folds
    // the log into the file, whatever became of the file.
    aside_.close();
    db_.close();
    if (lockFd_ >= 0) {
        // Removed while still held, so that whoever opened the old file finds
        // it gone once they get the lock, and tries again on a new one.
        ::unlink(QFile::encodeName(path_ + QStringLiteral(".lock")).constData());
        ::close(lockFd_);
    }
}

QString PersistentStore::type() const {
    return NSSQLiteStoreType;
}

std::unique_ptr<PersistentStore> PersistentStore::open(const QString& path,
                                                       const QVariantMap& options, Error* error) {
    std::unique_ptr<PersistentStore> store(new PersistentStore);
    store->path_ = path;
    store->options_ = options;

    // Only a regular file can be a diary; reading a pipe or a device in its
    // place would hang the application or feed it endless bytes.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary file \u201c%1\u201d is %2, not a diary file. "
                               "It was left as it is.")
                    .arg(path, S_ISDIR(info.st_mode) ? QStringLiteral("a folder")
                                                     : QStringLiteral("a special file")));
        }
        return nullptr;
    }
    if (!store->lock(error)) {
        return nullptr;
    }
    // Asked only now: with the lock held no other copy of the diary can be making the file.
    if (!QFileInfo::exists(path)) {
        if (!store->create(error)) {
            return nullptr;
        }
    } else if (!store->checkHeader(error) ||
               !StoreFileCheck::checkBeforeWriting(path, kApplicationId, kSchemaVersion, error) ||
               (info.st_size <= kWholeCheckBeforeOpenBytes &&
                !StoreFileCheck::checkWholeFile(path, error))) {
        return nullptr;
    }
    // SQLite would open a file it may not write for reading (and write its index beside it).
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary file \u201c%1\u201d can't be written (no permission). "
                               "It was left as it is.")
                    .arg(path));
        }
        return nullptr;
    }
    // Never SQLITE_OPEN_CREATE here: an existing diary is opened as it is or not at all.
    if (!store->db_.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, error)) {
        return nullptr;
    }
    // Until the store is handed out, a refusal closes without folding the log
    // into the file (or removing it).
    sqlite3_db_config(store->db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // SQLite quietly falls back to reading when it may not write; every save
    // would then fail after the user has typed, so say it now.
    if (sqlite3_db_readonly(store->db_.handle(), "main") == 1) {
        if (error) {
            *error = storeError(
                StoreOpenError,
                QStringLiteral("The diary file \u201c%1\u201d can't be written (no permission). "
                               "It was left as it is.")
                    .arg(path));
        }
        return nullptr;
    }
    struct stat opened {};
    if (::stat(QFile::encodeName(path).constData(), &opened) == 0) {
        store->device_ = quint64(opened.st_dev);
        store->inode_ = quint64(opened.st_ino);
    }
    if (!store->validate(error) || !store->checkRoots(error)) {
        return nullptr;
    }
    // A small diary is read whole now; a large one a month first and the
    // rest beside the window (readAllRows), which checks it as a whole.
    if (store->rowEstimate_ <= readWholeAtOpenLimit()) {
        if (!store->loadAll(&store->loadedRows_, error) || !store->checkIdentifierIndex(error)) {
            return nullptr;
        }
        store->loadedAll_ = true;
    }
    // The cloud exchange writes through a connection of its own.
    store->db_.setBusyTimeout(5000);
    if (store->loadedAll_ || info.st_size <= kWholeCheckBeforeOpenBytes) {
        store->settleFileIdentity();
    }
    sqlite3_db_config(store->db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    // In place of SQLite's own checkpoint at the commit that fills the log.
    sqlite3_wal_hook(store->db_.handle(), &PersistentStore::logGrew, store.get());
    return store;
}

qint64& PersistentStore::readWholeAtOpenLimitStorage() {
    static qint64 limit = kReadWholeAtOpen;
    return limit;
}

void PersistentStore::settleFileIdentity() {
    if (identityPending_ && refusal_.isNull()) {
        identityPending_ = false;
        cloud::adoptFileIdentity(db_, path_);
    }
}

void PersistentStore::refuseWrites(const Error& why) {
    refusal_ = why;
    // Closing would copy the log into a file found damaged.
    sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

void PersistentStore::widenPageCache() {
    if (usualCacheSize_ == 0 && !db_.queryInteger("PRAGMA cache_size", &usualCacheSize_, nullptr)) {
        return;
    }
    db_.exec("PRAGMA cache_size = -16384", nullptr); // KiB
}

void PersistentStore::shrinkMemory() {
    if (usualCacheSize_ != 0) {
        const QByteArray usual = "PRAGMA cache_size = " + QByteArray::number(usualCacheSize_);
        db_.exec(usual.constData(), nullptr);
        usualCacheSize_ = 0;
    }
    db_.exec("PRAGMA shrink_memory", nullptr);
}

} // namespace quillet
