// Copying the log back into the file waits for the disk twice: done on a
// thread of its own so that no save waits for it.
#include "store/PersistentStore.h"

#include <sqlite3.h>

namespace quillet {

int PersistentStore::logGrew(void* store, sqlite3*, const char*, int frames) {
    if (frames >= kCheckpointFrames) {
        static_cast<PersistentStore*>(store)->checkpointAside();
    }
    return SQLITE_OK;
}

void PersistentStore::checkpointAside() {
    if (fileGone_ || checkpointing_.exchange(true)) {
        return; // the one under way takes this log too, or the next commit asks again
    }
    if (checkpointer_.joinable()) {
        checkpointer_.join();
    }
    checkpointer_ = std::thread([this, path = path_] {
        SqliteDatabase db;
        if (db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)) {
            db.setBusyTimeout(1000);
            db.exec("PRAGMA synchronous = FULL; PRAGMA wal_checkpoint(PASSIVE);", nullptr);
        }
        checkpointing_.store(false);
    });
}

} // namespace quillet
