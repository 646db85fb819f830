// The outbox: changes claimed into this writer's next log inside a transaction,
// then written as files; and the whole diary, queued or read for a snapshot.
#include "store/cloud/CloudTables.h"

#include "core/FolderSync.h"
#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/SqlTarget.h"

#include <QFileInfo>

namespace quillet::cloud {

using namespace detail;

bool detail::claimPendingLog(SqliteDatabase& db, Error* error, int limit) {
    qint64 pending = 0;
    if (!db.queryInteger("SELECT count(*) FROM outbox", &pending, error))
        return false;
    if (pending == 0)
        return true;
    ChangeLog log;
    log.writer = storeIdentifier(db);
    log.sequence = stateValue(db, "nextSequence").toULongLong();
    {
        SqlTarget target(db);
        SqliteStatement rows(db.handle(), "SELECT uuid FROM outbox ORDER BY uuid LIMIT ?");
        rows.bindInt64(1, limit > 0 ? limit : -1);
        while (rows.step() == SQLITE_ROW) {
            if (std::optional<EntryState> e = target.load(rows.columnText(0))) {
                log.entries.push_back(std::move(*e));
            }
        }
    }
    // Lifted stamps of the entries this log takes are published from now on.
    std::map<QString, quint64> lifted = liftedStamps(db);
    bool liftedClaimed = false;
    for (const EntryState& e : log.entries)
        liftedClaimed |= lifted.erase(e.uuid) > 0;
    SqliteStatement claim(db.handle(), "INSERT INTO claimedLog (sequence, bytes) VALUES (?, ?)");
    claim.bindInt64(1, qint64(log.sequence));
    claim.bindUtf8(2, encodeChangeLog(log).toBase64());
    SqliteStatement taken(db.handle(), "DELETE FROM outbox WHERE uuid IN "
                                       "(SELECT uuid FROM outbox ORDER BY uuid LIMIT ?)");
    taken.bindInt64(1, limit > 0 ? limit : -1);
    if (claim.step() != SQLITE_DONE || taken.step() != SQLITE_DONE ||
        !setStateValue(db, "nextSequence", QString::number(log.sequence + 1)) ||
        !setStateValue(db, "publishedClock", stateValue(db, "clock")) ||
        (liftedClaimed && !storeLiftedStamps(db, lifted))) {
        if (error && error->localizedDescription.isEmpty())
            *error = cloudError(db, QStringLiteral("saved"));
        return false;
    }
    return true;
}

bool queueWholeDiary(SqliteDatabase& db, Error* error) {
    return db.exec(
        "INSERT OR IGNORE INTO outbox (uuid) "
        "SELECT uuid FROM entry WHERE uuid IS NOT NULL UNION SELECT uuid FROM entryClock",
        error);
}

bool wholeDiaryStates(SqliteDatabase& db, std::vector<EntryState>* states) {
    if (!db.exec("BEGIN", nullptr)) {
        return false;
    }
    qint64 pending = 0;
    bool ok =
        db.queryInteger("SELECT (SELECT count(*) FROM outbox) + (SELECT count(*) FROM claimedLog)",
                        &pending, nullptr) &&
        pending == 0;
    if (ok) {
        SqlTarget target(db);
        SqliteStatement rows(db.handle(), "SELECT uuid FROM entry WHERE uuid IS NOT NULL "
                                          "UNION SELECT uuid FROM entryClock ORDER BY 1");
        while (rows.step() == SQLITE_ROW) {
            const QString uuid = rows.columnText(0);
            if (!isWellFormedIdentifier(uuid))
                continue;
            if (std::optional<EntryState> e = target.load(uuid))
                states->push_back(std::move(*e));
        }
        QSet<QString> known;
        for (const EntryState& e : *states)
            known.insert(e.uuid);
        SqliteStatement superseded(
            db.handle(), "SELECT uuid, clock, writer FROM textSuperseded ORDER BY 1, 2, 3");
        while (superseded.step() == SQLITE_ROW) {
            EntryState base;
            base.uuid = superseded.columnText(0);
            base.textBase = Stamp{quint64(superseded.columnInt64(1)),
                                  QUuid::fromString(superseded.columnText(2))};
            if (known.contains(base.uuid))
                states->push_back(std::move(base));
        }
        target.finish();
    }
    db.exec("COMMIT", nullptr);
    return ok;
}

int writePendingLogs(SqliteDatabase& db, const QString& writerFolder, Error* error,
                     const LogFileWriter& writeFile) {
    auto fail = [&](const Error& e) {
        if (error)
            *error = e;
        return -1;
    };
    for (;;) {
        qint64 pending = 0;
        if (!db.queryInteger("SELECT count(*) FROM outbox", &pending, error))
            return -1;
        if (pending == 0)
            break;
        if (!db.exec("BEGIN IMMEDIATE", error))
            return -1;
        if (!claimPendingLog(db, error, 2000) || !db.exec("COMMIT", error)) {
            db.exec("ROLLBACK", nullptr);
            return -1;
        }
    }
    int written = 0;
    SqliteStatement claimed(db.handle(),
                            "SELECT sequence, bytes FROM claimedLog ORDER BY sequence");
    std::vector<std::pair<qint64, QByteArray>> logs;
    while (claimed.step() == SQLITE_ROW) {
        logs.emplace_back(claimed.columnInt64(0), QByteArray::fromBase64(claimed.columnUtf8(1)));
    }
    // The writer's own folder, owner-only; one that is a link or another
    // user's is refused: the logs would land wherever it points.
    const QFileInfo folder(writerFolder);
    QString why;
    if (!logs.empty() &&
        !PrivateFolder::makeOwnPath(QFileInfo(folder.absolutePath()).absolutePath(),
                                    QFileInfo(folder.absolutePath()).fileName() + QLatin1Char('/') +
                                        folder.fileName(),
                                    &why)) {
        return fail(Error{kStoreErrorDomain, StoreSaveError,
                          QStringLiteral("No change log is written: %1.").arg(why)});
    }
    for (const auto& [sequence, bytes] : logs) {
        const QString name = changeLogFileName(quint64(sequence));
        const QString path = writerFolder + QLatin1Char('/') + name;
        if (!PrivateFile::look(path).exists) {
            // Written whole under a name no sync engine copies, then renamed:
            // a log only ever appears complete under its own name.
            if (!(writeFile ? writeFile(path, bytes, &why)
                            : PrivateFile::writeWhole(path, bytes, &why))) {
                return fail(
                    Error{kStoreErrorDomain, StoreSaveError,
                          QStringLiteral("The change log \u201c%1\u201d could not be written: %2.")
                              .arg(path, why)});
            }
            syncFolder(writerFolder);
        }
        SqliteStatement done(db.handle(), "DELETE FROM claimedLog WHERE sequence = ?");
        done.bindInt64(1, sequence);
        if (done.step() != SQLITE_DONE) {
            return fail(cloudError(db, QStringLiteral("saved")));
        }
        ++written;
    }
    return written;
}

} // namespace quillet::cloud
