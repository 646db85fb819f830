// Applying another writer's log or snapshot: merged in one transaction with
// the writer's new applied sequence, all of it or nothing.
#include "store/cloud/CloudTables.h"

#include "store/cloud/ClockSkew.h"
#include "store/cloud/SqlTarget.h"

#include <QDateTime>

namespace quillet::cloud {

using namespace detail;

namespace {
bool applyLog(SqliteDatabase& db, const ChangeLog& log, bool snapshot, AppliedChanges* changes,
              Error* error) {
    if (!db.exec("BEGIN IMMEDIATE", error)) {
        return false;
    }
    // What this machine saved and has not logged yet is taken into a log
    // first: once merged over, a text of its own might otherwise never leave.
    if (!claimPendingLog(db, error)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    // A snapshot tells up to where its writer found every text settled: a
    // diary taking it in from nothing needs no marker of what lies before.
    if (snapshot && !log.settled.empty() && !raiseSettledClocks(db, log.settled)) {
        if (error)
            *error = cloudError(db, QStringLiteral("saved"));
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    SqlTarget::RowEvents events;
    SqlTarget target(db, &events);
    quint64 clock = stateValue(db, "clock").toULongLong();
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    for (const EntryState& e : log.entries) {
        mergeEntry(target, e);
        clock = adoptClock(clock, latestClock(e), wall);
    }
    target.failed |= !noteWriterClock(db, log.writer, writerClockAhead(log, wall));
    if (snapshot) {
        // A copy nobody touched goes once its text is known to be replaced,
        // whichever came first here: the copy or the news.
        std::vector<std::pair<QString, Stamp>> superseded;
        {
            SqliteStatement rows(db.handle(), "SELECT uuid, clock, writer FROM textSuperseded");
            while (rows.step() == SQLITE_ROW) {
                superseded.emplace_back(
                    rows.columnText(0),
                    Stamp{quint64(rows.columnInt64(1)), QUuid::fromString(rows.columnText(2))});
            }
        }
        for (const auto& [uuid, version] : superseded)
            dropUntouchedCopy(target, uuid, version);
    }
    SqliteStatement applied(db.handle(),
                            "INSERT OR REPLACE INTO appliedLog (writer, sequence) VALUES (?, ?)");
    applied.bindText(1, writerText(log.writer));
    applied.bindInt64(2, qint64(log.sequence));
    target.finish();
    if (target.failed || applied.step() != SQLITE_DONE ||
        !setStateValue(db, "clock", QString::number(clock)) ||
        !setStateValue(db, "appliedAt", QString::number(QDateTime::currentMSecsSinceEpoch())) ||
        !db.exec("COMMIT", nullptr)) {
        if (error)
            *error = cloudError(db, QStringLiteral("saved"));
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    if (changes) {
        for (const auto& [event, key] : events) {
            switch (event) {
            case SqlTarget::RowEvent::Inserted:
                changes->rowInserted(key);
                break;
            case SqlTarget::RowEvent::Updated:
                changes->rowUpdated(key);
                break;
            case SqlTarget::RowEvent::Deleted:
                changes->rowDeleted(key);
                break;
            }
        }
    }
    return true;
}
} // namespace

bool applyChangeLog(SqliteDatabase& db, const ChangeLog& log, AppliedChanges* changes,
                    Error* error) {
    return applyLog(db, log, false, changes, error);
}

bool applySnapshot(SqliteDatabase& db, const ChangeLog& snapshot, AppliedChanges* changes,
                   Error* error) {
    return applyLog(db, snapshot, true, changes, error);
}

} // namespace quillet::cloud
