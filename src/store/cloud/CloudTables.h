#pragma once

#include "core/Error.h"
#include "store/PersistentStore.h"
#include "store/SqliteDatabase.h"
#include "store/cloud/ChangeLog.h"

#include <QSet>
#include <functional>

namespace quillet::cloud {

// 3: the store's identity as a writer, its clock, the stamps of every entry,
// the texts known to be superseded, the outbox of changes not yet written to
// a log, and the highest sequence applied from every other writer.
bool addCloudTables(SqliteDatabase& db, Error* error);

// Run inside a save's transaction, before its rows are written: stamps what
// the save changes and puts the entries in the outbox, so that a change is
// logged exactly when it is committed.
bool recordSave(SqliteDatabase& db, const PersistentStore::Changes& changes, Error* error);

QUuid storeIdentifier(SqliteDatabase& db);

// A writer is one file: a copy of the file (another machine's copy, a backup
// put back) would otherwise write logs under the same writer and sequence
// numbers as the original. Called when the store is opened: a file that is
// not the one its writer id was made for takes a new id, and treats the
// logs of the old one as another writer's, applied up to where it was.
bool adoptFileIdentity(SqliteDatabase& db, const QString& path);
quint64 appliedSequence(SqliteDatabase& db, const QUuid& writer);

// Row keys of the entries an exchange round changed, as the context that
// read the store before the round must hear them: a key it knows is updated
// or deleted, a key it does not know is inserted. SQLite gives a dropped last
// key out again, so one round may drop a row and reuse its key: for a key the
// context knew, that is a deletion and an insertion (another entry now); for
// a key made earlier in the round, the context hears of the last row only.
struct AppliedChanges {
    QSet<qint64> inserted, updated, deleted;
    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty(); }
    void rowInserted(qint64 key) { inserted.insert(key); }
    void rowUpdated(qint64 key) {
        if (!inserted.contains(key))
            updated.insert(key);
    }
    void rowDeleted(qint64 key) {
        if (!inserted.remove(key)) {
            updated.remove(key);
            deleted.insert(key);
        }
    }
};
// Applies a whole log in one transaction, with the writer's new applied
// sequence: all of it or nothing. This store's pending changes are claimed
// for its next log in the same transaction (writePendingLogs writes it).
bool applyChangeLog(SqliteDatabase& db, const ChangeLog& log, AppliedChanges* changes,
                    Error* error);
// A writer's snapshot, applied the same way. It may bring conflicting copies
// whose text some writer has already been seen to replace; they go in the
// same transaction, as they went everywhere else.
bool applySnapshot(SqliteDatabase& db, const ChangeLog& snapshot, AppliedChanges* changes,
                   Error* error);

// Takes the outbox into this writer's next log (kept in the store until its
// file is written), then writes every such log into the writer's folder.
// Answers the number of logs written, -1 on failure.
// `writeFile` puts one log's bytes at its path (by default as they are).
using LogFileWriter =
    std::function<bool(const QString& path, const QByteArray& bytes, QString* why)>;
int writePendingLogs(SqliteDatabase& db, const QString& writerFolder, Error* error,
                     const LogFileWriter& writeFile = {});

// Puts every entry the store knows (trashed ones with their tombstones) in
// the outbox: the next logs then hold the whole diary, for a diary that
// joins the exchange with entries other machines have never seen.
bool queueWholeDiary(SqliteDatabase& db, Error* error);

// Every entry's state (trashed ones with their tombstones, conflicting copies
// too), read in one transaction: what a snapshot holds. False while anything
// saved here is not in a written log yet: a snapshot must never carry a text
// that a later save may replace without a trace.
// After the states come the text versions known to be superseded, each as
// an entry that names it as its base and changes nothing else, so that a
// reader of the snapshot learns them as it would from the folded logs.
bool wholeDiaryStates(SqliteDatabase& db, std::vector<EntryState>* states);
// Every other writer's highest applied sequence.
std::vector<std::pair<QUuid, quint64>> appliedSequences(SqliteDatabase& db);

} // namespace quillet::cloud
