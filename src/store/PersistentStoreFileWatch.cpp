// Noticing the file at the diary's path is no longer the one opened, and
// then writing nothing to whatever file took its name.
#include "store/PersistentStore.h"

#include "store/PersistentStoreErrors.h"

#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

namespace quillet {

using detail::storeError;

bool PersistentStore::checkFileInPlace(Error* error) {
    if (!fileGone_) {
        struct stat now {};
        int moved = 0;
        const bool gone = ::stat(QFile::encodeName(path_).constData(), &now) != 0 ||
                          quint64(now.st_dev) != device_ || quint64(now.st_ino) != inode_ ||
                          (sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_HAS_MOVED,
                                                &moved) == SQLITE_OK &&
                           moved != 0);
        if (!gone) {
            return true;
        }
        fileGone_ = true;
        letGoOfFile();
    }
    if (error) {
        *error = storeError(
            StoreFileMovedError,
            QStringLiteral("The diary file “%1” was moved, replaced or deleted while "
                           "Quillet had it open. Nothing was saved over it; your changes are "
                           "kept in this window until you save them to a new file.")
                .arg(path_));
    }
    return false;
}

void PersistentStore::letGoOfFile() {
    // The commits still in the log belong to the file that was opened,
    // wherever it is now: they are copied into it through the open handles
    // and the log is emptied, so that no one opening the name later replays
    // them into whatever file has it now. Closing then leaves every name alone.
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    // A reader of its own (a backup under way) may hold the log a moment.
    db_.setBusyTimeout(5000);
    db_.exec("PRAGMA wal_checkpoint(TRUNCATE)", nullptr);
    db_.setBusyTimeout(0);
    sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

} // namespace quillet
