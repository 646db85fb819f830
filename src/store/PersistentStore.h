#pragma once

#include "core/Error.h"
#include "store/SqliteDatabase.h"
#include "store/StoreRow.h"

#include <QLockFile>
#include <QVariantMap>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace quillet {

// The diary's SQLite file. A missing file is created (atomically, under a
// temporary name first); an existing file is used only when it is a diary of
// a schema this program knows, and is otherwise left exactly as it is: its
// header is checked before SQLite is let near it, and every row but its text
// (read on demand) is read before the store is handed out. One process at a
// time holds a store: a second one is told the diary is open elsewhere; the
// lock dies with its process, however it ends. Commits are synced (WAL,
// synchronous=FULL), so a save that returned success survives a crash or a
// power loss. A diary of an older format is brought up to this one when it
// is opened, in one transaction, after a copy of it as it was is kept beside
// it ("entries.sqlite.v1"); one from a newer format is refused untouched.
class PersistentStore {
public:
    static constexpr qint64 kApplicationId = 0x51756c74; // "Qult"
    // 1: the entry table. 2: an index on the identifiers. 3: the change-log
    // exchange's tables (store id, stamps, outbox, applied logs).
    static constexpr qint64 kSchemaVersion = 3;

    static std::unique_ptr<PersistentStore> open(const QString& path, const QVariantMap& options,
                                                 Error* error);
    ~PersistentStore();

    QString path() const { return path_; }
    QString type() const;
    QVariantMap options() const { return options_; }

    bool loadAll(std::vector<StoreRow>* rows, Error* error);
    // The rows read while opening (every row is read then, so that a damaged
    // file is found before the store is used; only a long text's own pages
    // wait until it is read); the first caller takes them.
    std::vector<StoreRow> takeLoadedRows() { return std::move(loadedRows_); }
    // False with a null error when no row has the key.
    bool loadRow(qint64 key, EntryValues* values, Error* error);
    // The text of one row as written; loadAll leaves it in the file (textFaulted).
    bool loadText(qint64 key, QByteArray* text, Error* error);
    // Every row's folded text, read through a connection of its own so that
    // it may run on another thread while the store is in use; loadAll leaves
    // them out (foldedFaulted).
    static bool readFoldedTexts(const QString& path, std::vector<std::pair<qint64, std::string>>* texts,
                                Error* error);

    struct Changes {
        std::vector<const EntryValues*> inserted; // in order; their new keys come back in insertedKeys
        std::vector<std::pair<qint64, const EntryValues*>> updated;
        std::vector<qint64> deleted;
    };
    // Writes all changes in one transaction, or none of them. With
    // waitForDisk false the commit does not wait for the disk: the process
    // may end any way it likes without losing it, but a power loss before the
    // next save that waits (or sync) may. A save that waits covers every
    // earlier one.
    bool save(const Changes& changes, std::vector<qint64>* insertedKeys, Error* error,
              bool waitForDisk = true);
    // Waits for the disk to hold every earlier save; at once when each one waited.
    bool sync(Error* error);
    // Called after every commit (the cloud exchange writes the new log then).
    void setCommitObserver(std::function<void()> observer) { commitObserver_ = std::move(observer); }

private:
    PersistentStore() = default;
    bool lock(Error* error);
    bool create(Error* error);
    bool checkHeader(Error* error) const;
    bool validate(Error* error);
    bool upgrade(qint64 from, Error* error);
    // Copying the log back into the file (a checkpoint) waits for the disk
    // twice; it is done on a helper thread with a connection of its own, so
    // that no save waits for it.
    void checkpointAside();
    static int logGrew(void* store, struct sqlite3* db, const char* name, int frames);
    bool checkIdentifierIndex(Error* error);
    bool keepCopy(const QString& copy, Error* error);

    QString path_;
    QVariantMap options_;
    SqliteDatabase db_;
    std::unique_ptr<QLockFile> lock_;
    std::vector<StoreRow> loadedRows_;
    bool unsynced_ = false;
    std::thread checkpointer_;
    std::atomic<bool> checkpointing_{false};
    std::function<void()> commitObserver_;
};

} // namespace quillet
