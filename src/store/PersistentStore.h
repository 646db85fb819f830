#pragma once

#include "core/Error.h"
#include "store/EntryKey.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/StoreRow.h"

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
// header is checked before SQLite is let near it, and the pages every read
// starts from before the store is handed out; a small diary is read whole
// then, a large one by readAllRows beside the window. One process at a
// time holds a store: a second one is told the diary is open elsewhere; the
// lock dies with its process, however it ends. Commits are synced (WAL,
// synchronous=FULL), so a save that returned success survives a crash or a
// power loss. A diary of an older format is brought up to this one when it
// is opened, in one transaction, after a copy of it as it was is kept beside
// it ("entries.sqlite.v1"); one from a newer format is refused untouched.
class PersistentStore {
public:
    static constexpr qint64 kApplicationId = 0x51756c74; // "Qult"
    // 1: the entry table. 2: an index on the identifiers. 3: an index on the
    // months. 4: the change-log exchange's tables (store id, stamps, outbox,
    // applied logs).
    static constexpr qint64 kSchemaVersion = 4;
    // Up to about this many rows a diary is read whole, and checked, while it
    // is opened: that costs less than a first screen and a helper thread.
    static constexpr qint64 kReadWholeAtOpen = 5000;
    static qint64 readWholeAtOpenLimit() { return readWholeAtOpenLimitStorage(); }
    // For tests of the large-diary path with a few rows.
    static void setReadWholeAtOpenLimit(qint64 rows) { readWholeAtOpenLimitStorage() = rows; }

    static std::unique_ptr<PersistentStore> open(const QString& path, const QVariantMap& options,
                                                 Error* error);
    ~PersistentStore();

    QString path() const { return path_; }
    QString type() const;
    QVariantMap options() const { return options_; }

    // Every row but its text as written (textFaulted), read while opening a
    // small diary and otherwise now; the first caller takes them. Empty, with
    // the error, when the file turns out damaged.
    std::vector<StoreRow> takeLoadedRows(Error* error = nullptr);
    bool hasReadWhole() const { return loadedAll_; }
    // The rows of one month (through the month index): what the first screen shows.
    bool loadMonth(int monthTag, std::vector<StoreRow>* rows, Error* error);
    // Every row, through a read-only connection of its own so that it may run
    // on a helper thread while the store is in use, and the identifier index
    // checked against them (the check of the whole file a large diary gets).
    // rowsRead is called once every row was taken, before the checks, which
    // see the same snapshot.
    // Their folded texts go into `arena` when one is given.
    static bool readAllRows(const QString& path, const std::function<void(StoreRow&&)>& take,
                            Error* error, const std::function<void()>& rowsRead = {},
                            FoldedArena* arena = nullptr);
    // After damage was found beside the window: every later save and sync
    // fails with why, and the file is left as it is.
    void refuseWrites(const Error& why);
    bool refusesWrites() const { return !refusal_.isNull(); }
    // A diary file copied from elsewhere takes a writer identity of its own
    // for the exchange; that is a write, so a large diary's waits for its
    // whole-file check. Done once, at the latest before a save or an exchange.
    void settleFileIdentity();
    // False with a null error when no row has the key.
    bool loadRow(qint64 key, EntryValues* values, Error* error);
    // The text of one row as written; loadAll leaves it in the file (textFaulted).
    bool loadText(qint64 key, QByteArray* text, Error* error);

    // An update writes only the attributes in `changedKeys` (entryKeyBit):
    // the others keep what the row holds now, which another connection (the
    // cloud exchange) may have changed since the record was read. The time
    // stamp and the month tag go together, and the folded text with the text.
    struct Update {
        Update(qint64 rowKey, const EntryValues* newValues, unsigned changed = kAllEntryKeys)
            : key(rowKey), values(newValues), changedKeys(changed) {}
        qint64 key;
        const EntryValues* values;
        unsigned changedKeys;
        // The text the edit was typed over, as the context read it (null:
        // not known). When the row holds another by now, the edit was made
        // beside that one, not over it.
        const QByteArray* textReadAs = nullptr;
    };
    struct Changes {
        std::vector<const EntryValues*>
            inserted; // in order; their new keys come back in insertedKeys
        std::vector<Update> updated;
        std::vector<qint64> deleted;
        // Filled with the keys of the rows the save added besides `inserted`:
        // conflicting copies of texts that an edit was made beside.
        std::vector<qint64>* addedCopies = nullptr;
    };
    // Writes all changes in one transaction, or none of them. With
    // waitForDisk false the commit does not wait for the disk: the process
    // may end any way it likes without losing it, but a power loss before the
    // next save that waits (or sync) may. A save that waits covers every
    // earlier one.
    bool save(const Changes& changes, std::vector<qint64>* insertedKeys, Error* error,
              bool waitForDisk = true);
    // The same save for a helper thread, through a connection of the store's
    // own for it, so that the window's connection goes on reading meanwhile:
    // updates and deletions only (no key comes back), never waiting for the
    // disk, one at a time, each after the window's thread found the file in
    // place (checkFileInPlace); the store must outlive the save, and be copied
    // or moved only after it. savedAside, back on the store's thread, does
    // what follows a commit there.
    bool saveAside(const Changes& changes, Error* error);
    void savedAside();
    // Waits for the disk to hold every earlier save; at once when each one waited.
    bool sync(Error* error);
    // A large write (an import) keeps the pages it touches at hand: the
    // identifier indexes are written all over, and reading each page back
    // cost more than writing it. shrinkMemory returns to the usual size.
    void widenPageCache();
    // Hands back the page cache that a large write filled.
    void shrinkMemory();
    // Called after every commit (the cloud exchange writes the new log then).
    void setCommitObserver(std::function<void()> observer) {
        commitObserver_ = std::move(observer);
    }

    // False (StoreFileMovedError) once the file at path() is no longer the one
    // opened: moved, replaced or deleted. From then on every save fails the
    // same way and writes nothing, so another diary put in its place keeps its
    // rows; what was saved before stays in the file that was opened, wherever
    // it went. Every save asks first.
    bool checkFileInPlace(Error* error);
    // A consistent copy of the diary as saved, through this store's own
    // connection (so also of a file that was moved or deleted), written to
    // `destination` under a temporary name and renamed into place; owner-only.
    bool copyTo(const QString& destination, Error* error) const;
    // The same from the file at `source`, through a read-only connection of
    // its own, so that it may run on another thread while the store is in use.
    static bool copyFile(const QString& source, const QString& destination, Error* error);

private:
    PersistentStore() = default;
    // Holds an flock on "<diary>.lock" for the store's life: the kernel drops
    // it when the process ends however it ends, so a lock file left by a dead
    // process never keeps a later one out, whatever PID that one gets. The
    // file's text (pid, program, host) only names the holder in the message.
    bool lock(Error* error);
    bool create(Error* error);
    bool checkHeader(Error* error) const;
    bool validate(Error* error);
    bool checkRoots(Error* error);
    bool loadAll(std::vector<StoreRow>* rows, Error* error);
    static qint64& readWholeAtOpenLimitStorage();
    bool upgrade(qint64 from, Error* error);
    // Copying the log back into the file (a checkpoint) waits for the disk
    // twice; it is done on a helper thread with a connection of its own, so
    // that no save waits for it.
    void checkpointAside();
    static int logGrew(void* store, struct sqlite3* db, const char* name, int frames);
    static int asideLogGrew(void* store, struct sqlite3* db, const char* name, int frames);
    // SQLite's own measure: a log of 1000 pages is copied back.
    static constexpr int kCheckpointFrames = 1000;
    // One save's transaction on either connection.
    static bool writeChanges(SqliteDatabase& db, const Changes& changes,
                             std::vector<qint64>* insertedKeys, Error* error);
    bool checkIdentifierIndex(Error* error);
    bool keepCopy(const QString& copy, Error* error);
    void letGoOfFile();

    QString path_;
    QVariantMap options_;
    SqliteDatabase db_;
    SqliteDatabase aside_; // saveAside's, opened at its first save
    std::atomic<bool> asideLogFull_{false};
    // Kept for reading one row or text by its key (loadRow, loadText).
    std::unique_ptr<SqliteStatement> rowByKey_;
    std::unique_ptr<SqliteStatement> textByKey_;
    qint64 usualCacheSize_ = 0; // while widened: the size to go back to
    int lockFd_ = -1;
    std::vector<StoreRow> loadedRows_;
    bool loadedAll_ = false;
    qint64 rowEstimate_ = 0; // the highest key: about the number of rows
    qint64 identifiedRows_ = 0;
    Error refusal_;
    bool unsynced_ = false;
    // The file as opened, to tell it from one put in its place.
    quint64 device_ = 0;
    quint64 inode_ = 0;
    bool fileGone_ = false;
    bool identityPending_ = true;
    std::thread checkpointer_;
    std::atomic<bool> checkpointing_{false};
    std::function<void()> commitObserver_;
};

} // namespace quillet
