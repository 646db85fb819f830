#include "store/cloud/CloudTables.h"

#include "core/FolderSync.h"
#include "core/TextFolder.h"
#include "store/SqliteStatement.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/Merge.h"
#include "store/cloud/Settling.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::cloud {

namespace {

Error cloudError(SqliteDatabase& db, const QString& action) {
    Error e = db.lastError(action);
    return e;
}

QString stateValue(SqliteDatabase& db, const char* name) {
    SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = ?");
    s.bindText(1, QString::fromLatin1(name));
    return s.step() == SQLITE_ROW ? s.columnText(0) : QString();
}

bool setStateValue(SqliteDatabase& db, const char* name, const QString& value) {
    SqliteStatement s(db.handle(), "INSERT OR REPLACE INTO cloudState (name, value) VALUES (?, ?)");
    s.bindText(1, QString::fromLatin1(name));
    s.bindText(2, value);
    return s.step() == SQLITE_DONE;
}

QString writerText(const QUuid& writer) {
    return writer.toString(QUuid::WithoutBraces);
}

// The entries and stamps of one connection, seen as the merge sees them.
class SqlTarget : public MergeTarget {
public:
    // What happened to row keys, in order; told to the round's changes once
    // the log has committed.
    enum class RowEvent { Inserted, Updated, Deleted };
    using RowEvents = std::vector<std::pair<RowEvent, qint64>>;

    explicit SqlTarget(SqliteDatabase& db, RowEvents* events = nullptr)
        : db_(db), events_(events) {}
    bool failed = false;

    // Prepared once per target: a save or a log may touch thousands of entries.
    SqliteStatement& prepared(const char* sql) {
        std::unique_ptr<SqliteStatement>& s = statements_[sql];
        if (!s) {
            s = std::make_unique<SqliteStatement>(db_.handle(), sql);
        } else {
            s->reset();
        }
        return *s;
    }
    // Before a commit: no statement of ours is left in the middle of its rows.
    void finish() {
        for (auto& [sql, s] : statements_)
            s->reset();
    }
    bool enqueue(const QString& uuid) {
        SqliteStatement& s = prepared("INSERT OR IGNORE INTO outbox (uuid) VALUES (?)");
        s.bindText(1, uuid);
        return s.step() == SQLITE_DONE;
    }

    std::optional<qint64> keyOf(const QString& uuid) {
        SqliteStatement& s = prepared("SELECT key FROM entry WHERE uuid = ? ORDER BY key LIMIT 1");
        s.bindText(1, uuid);
        if (s.step() == SQLITE_ROW)
            return s.columnInt64(0);
        return std::nullopt;
    }

    std::optional<EntryState> load(const QString& uuid) override {
        std::optional<EntryState> state;
        {
            SqliteStatement& s = prepared("SELECT state FROM entryClock WHERE uuid = ?");
            s.bindText(1, uuid);
            EntryState e;
            if (s.step() == SQLITE_ROW &&
                decodeEntryState(QByteArray::fromBase64(s.columnUtf8(0)), &e)) {
                state = std::move(e);
            }
        }
        SqliteStatement& s = prepared("SELECT entryText, colorTag, monthTag, timeStamp, key "
                                      "FROM entry WHERE uuid = ? ORDER BY key LIMIT 1");
        s.bindText(1, uuid);
        loadedRow_.reset();
        if (s.step() == SQLITE_ROW) {
            loadedRow_ = s.columnInt64(4);
            // The row holds the values; the stamps (if any) come from entryClock.
            EntryState e = state.value_or(EntryState{});
            e.uuid = uuid;
            e.hasText = !s.isNull(0);
            e.entryText = s.columnUtf8(0);
            e.colorTag = s.columnInt(1);
            e.monthTag = s.columnInt(2);
            e.hasTimeStamp = !s.isNull(3);
            e.timeStamp = s.columnDouble(3);
            if (!state) {
                e.textTimeStamp = e.timeStamp;
                e.textMonthTag = e.monthTag;
                e.textColorTag = e.colorTag;
            }
            state = std::move(e);
        }
        return state;
    }

    // The row the last load read its values from (none: the entry has no row).
    std::optional<qint64> loadedRow() const { return loadedRow_; }

    // A row's values as they are now, by its key.
    std::optional<LocalValues> rowValues(qint64 key) {
        SqliteStatement& s =
            prepared("SELECT entryText, colorTag, monthTag, timeStamp FROM entry WHERE key = ?");
        s.bindInt64(1, key);
        if (s.step() != SQLITE_ROW)
            return std::nullopt;
        LocalValues l;
        l.hasText = !s.isNull(0);
        l.entryText = s.columnUtf8(0);
        l.colorTag = s.columnInt(1);
        l.monthTag = s.columnInt(2);
        l.hasTimeStamp = !s.isNull(3);
        l.timeStamp = l.hasTimeStamp ? s.columnDouble(3) : 0;
        return l;
    }

    // The stamps only; a visible entry's values live in its row.
    bool storeStamps(const EntryState& state, bool visible) {
        EntryState kept = state;
        if (visible) {
            kept.entryText.clear();
        }
        SqliteStatement& s =
            prepared("INSERT OR REPLACE INTO entryClock (uuid, state) VALUES (?, ?)");
        s.bindText(1, state.uuid);
        s.bindUtf8(2, encodeEntryState(kept).toBase64());
        return s.step() == SQLITE_DONE;
    }

    void store(const EntryState& state) override {
        const bool visible = isVisible(state);
        const std::optional<qint64> key = keyOf(state.uuid);
        if (visible) {
            const QByteArray text = state.hasText ? state.entryText : QByteArray();
            const std::string folded = TextFolder::fold(QString::fromUtf8(text));
            SqliteStatement s(
                db_.handle(),
                key ? "UPDATE entry SET entryText = ?, colorTag = ?, monthTag = ?, timeStamp = ?, "
                      "foldedText = ?, uuid = ? WHERE key = ?"
                    : "INSERT INTO entry (entryText, colorTag, monthTag, timeStamp, foldedText, "
                      "uuid) "
                      "VALUES (?, ?, ?, ?, ?, ?)");
            s.bindUtf8(1, state.hasText ? (text.isNull() ? QByteArray("") : text) : QByteArray());
            s.bindInt64(2, state.colorTag);
            s.bindInt64(3, state.monthTag);
            state.hasTimeStamp ? s.bindDouble(4, state.timeStamp) : s.bindNull(4);
            s.bindUtf8(5, std::string_view(folded));
            s.bindText(6, state.uuid);
            if (key)
                s.bindInt64(7, *key);
            failed |= s.step() != SQLITE_DONE;
            if (events_) {
                events_->emplace_back(key ? RowEvent::Updated : RowEvent::Inserted,
                                      key ? *key : sqlite3_last_insert_rowid(db_.handle()));
            }
        } else if (key) {
            dropRows(state.uuid);
        }
        failed |= !storeStamps(state, visible);
    }

    void dropRows(const QString& uuid) {
        SqliteStatement& keys = prepared("SELECT key FROM entry WHERE uuid = ?");
        keys.bindText(1, uuid);
        while (keys.step() == SQLITE_ROW) {
            if (events_)
                events_->emplace_back(RowEvent::Deleted, keys.columnInt64(0));
        }
        SqliteStatement& s = prepared("DELETE FROM entry WHERE uuid = ?");
        s.bindText(1, uuid);
        failed |= s.step() != SQLITE_DONE;
    }

    void remove(const QString& uuid) override {
        dropRows(uuid);
        SqliteStatement& s = prepared("DELETE FROM entryClock WHERE uuid = ?");
        s.bindText(1, uuid);
        failed |= s.step() != SQLITE_DONE;
    }

    bool isSuperseded(const QString& uuid, const Stamp& version) override {
        SqliteStatement s(
            db_.handle(),
            "SELECT 1 FROM textSuperseded WHERE uuid = ? AND clock = ? AND writer = ?");
        s.bindText(1, uuid);
        s.bindInt64(2, qint64(version.clock));
        s.bindText(3, writerText(version.writer));
        return s.step() == SQLITE_ROW;
    }

    bool isSettled(const Stamp& version) override {
        if (!settled_) {
            settled_ = settledClocks(db_);
        }
        const auto it = settled_->find(version.writer);
        return !version.isNull() && it != settled_->end() && version.clock <= it->second;
    }

    void addSuperseded(const QString& uuid, const Stamp& version) override {
        SqliteStatement s(
            db_.handle(),
            "INSERT OR IGNORE INTO textSuperseded (uuid, clock, writer) VALUES (?, ?, ?)");
        s.bindText(1, uuid);
        s.bindInt64(2, qint64(version.clock));
        s.bindText(3, writerText(version.writer));
        failed |= s.step() != SQLITE_DONE;
    }

private:
    SqliteDatabase& db_;
    RowEvents* events_;
    std::map<const char*, std::unique_ptr<SqliteStatement>> statements_;
    std::optional<qint64> loadedRow_;
    std::optional<std::map<QUuid, quint64>> settled_;
};

bool enqueue(SqliteDatabase& db, const QString& uuid) {
    SqliteStatement s(db.handle(), "INSERT OR IGNORE INTO outbox (uuid) VALUES (?)");
    s.bindText(1, uuid);
    return s.step() == SQLITE_DONE;
}

LocalValues localValues(const EntryValues& v, const std::optional<EntryState>& before) {
    LocalValues l;
    if (v.textFaulted && before) {
        l.entryText = before->entryText;
        l.hasText = before->hasText;
    } else {
        l.entryText = v.entryText;
        l.hasText = !v.entryText.isNull();
    }
    l.colorTag = v.colorTag;
    l.hasTimeStamp = v.hasTimeStamp;
    l.timeStamp = v.hasTimeStamp ? v.timeStamp : 0;
    l.monthTag = v.monthTag;
    return l;
}

LocalValues valuesOf(const EntryState& s) {
    LocalValues l;
    l.entryText = s.entryText;
    l.hasText = s.hasText;
    l.colorTag = s.colorTag;
    l.hasTimeStamp = s.hasTimeStamp;
    l.timeStamp = s.hasTimeStamp ? s.timeStamp : 0;
    l.monthTag = s.monthTag;
    return l;
}

// What an update leaves in its row: the properties it changed as saved, the
// others as the row holds them (as PersistentStore::save writes them).
LocalValues keepUnchanged(LocalValues row, const LocalValues& saved, unsigned changedKeys) {
    if (changedKeys & entryKeyBit(EntryKey::EntryText)) {
        row.entryText = saved.entryText;
        row.hasText = saved.hasText;
    }
    if (changedKeys & entryKeyBit(EntryKey::ColorTag)) {
        row.colorTag = saved.colorTag;
    }
    if (changedKeys & (entryKeyBit(EntryKey::MonthTag) | entryKeyBit(EntryKey::TimeStamp))) {
        row.hasTimeStamp = saved.hasTimeStamp;
        row.timeStamp = saved.timeStamp;
        row.monthTag = saved.monthTag;
    }
    return row;
}


} // namespace

// Inside a transaction: the outbox becomes this writer's next log, kept in the store until written.
// At most `limit` entries per log (0: all), so that a large diary's first
// log does not hold the store for long.
bool claimPendingLog(SqliteDatabase& db, Error* error, int limit = 0);

bool addCloudTables(SqliteDatabase& db, Error* error) {
    if (!db.exec(R"sql(
            CREATE TABLE cloudState (name TEXT PRIMARY KEY, value) WITHOUT ROWID;
            CREATE TABLE entryClock (uuid TEXT PRIMARY KEY, state TEXT NOT NULL) WITHOUT ROWID;
            CREATE TABLE textSuperseded (uuid TEXT, clock INTEGER, writer TEXT,
                                         PRIMARY KEY (uuid, clock, writer)) WITHOUT ROWID;
            CREATE TABLE outbox (uuid TEXT PRIMARY KEY) WITHOUT ROWID;
            CREATE TABLE claimedLog (sequence INTEGER PRIMARY KEY, bytes TEXT NOT NULL);
            CREATE TABLE appliedLog (writer TEXT PRIMARY KEY, sequence INTEGER NOT NULL) WITHOUT ROWID;
            INSERT INTO cloudState (name, value) VALUES ('clock', 0), ('nextSequence', 1);
            -- What the diary held before it could be logged goes out with the first log.
            INSERT OR IGNORE INTO outbox (uuid) SELECT uuid FROM entry WHERE uuid IS NOT NULL;
        )sql",
                 error)) {
        return false;
    }
    if (!setStateValue(db, "storeId", writerText(QUuid::createUuid()))) {
        if (error)
            *error = cloudError(db, QStringLiteral("upgraded"));
        return false;
    }
    return true;
}

QUuid storeIdentifier(SqliteDatabase& db) {
    return QUuid::fromString(stateValue(db, "storeId"));
}

bool adoptFileIdentity(SqliteDatabase& db, const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return false;
    }
    const QString identity =
        QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
    const QString known = stateValue(db, "fileIdentity");
    if (known == identity) {
        return true;
    }
    if (!db.exec("BEGIN IMMEDIATE", nullptr)) {
        return false;
    }
    bool ok = setStateValue(db, "fileIdentity", identity);
    if (ok && !known.isNull()) {
        const QString old = stateValue(db, "storeId");
        const qint64 last = stateValue(db, "nextSequence").toLongLong() - 1;
        SqliteStatement applied(
            db.handle(), "INSERT OR REPLACE INTO appliedLog (writer, sequence) VALUES (?, ?)");
        applied.bindText(1, old);
        applied.bindInt64(2, last);
        // Logs claimed but not written belong to the old writer's sequence;
        // what they hold is queued again for the new one.
        ok = applied.step() == SQLITE_DONE;
        SqliteStatement claimed(db.handle(), "SELECT bytes FROM claimedLog");
        while (ok && claimed.step() == SQLITE_ROW) {
            ChangeLog log;
            if (decodeChangeLog(QByteArray::fromBase64(claimed.columnUtf8(0)), &log, nullptr) ==
                DecodeStatus::Ok) {
                for (const EntryState& e : log.entries)
                    ok = ok && enqueue(db, e.uuid);
            }
        }
        ok = ok && db.exec("DELETE FROM claimedLog", nullptr) &&
             setStateValue(db, "storeId", writerText(QUuid::createUuid())) &&
             setStateValue(db, "nextSequence", QStringLiteral("1")) &&
             setStateValue(db, "publishedClock", QStringLiteral("0"));
    }
    if (!ok || !db.exec("COMMIT", nullptr)) {
        db.exec("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

quint64 appliedSequence(SqliteDatabase& db, const QUuid& writer) {
    SqliteStatement s(db.handle(), "SELECT sequence FROM appliedLog WHERE writer = ?");
    s.bindText(1, writerText(writer));
    return s.step() == SQLITE_ROW ? quint64(s.columnInt64(0)) : 0;
}

bool recordSave(SqliteDatabase& db, const PersistentStore::Changes& changes, Error* error) {
    const QUuid writer = storeIdentifier(db);
    quint64 clock = stateValue(db, "clock").toULongLong();
    const quint64 publishedClock = stateValue(db, "publishedClock").toULongLong();
    std::map<QString, quint64> lifted = liftedStamps(db);
    bool liftedChanged = false;
    // After every stamp the entry holds, even one from a clock that runs
    // ahead: lifted past it, leaving this writer's clock where it is.
    auto tick = [&](const QString& uuid, const std::optional<EntryState>& before) {
        const quint64 next = nextClock(clock);
        if (before && latestClock(*before) >= next) {
            lifted.emplace(uuid, latestClock(*before) + 1);
            liftedChanged = true;
            return Stamp{latestClock(*before) + 1, writer};
        }
        clock = next;
        return Stamp{clock, writer};
    };
    std::vector<qint64> copies;
    SqlTarget target(db);
    bool ok = true;
    auto edit = [&](const QString& uuid, const EntryValues& v, std::optional<qint64> key,
                    unsigned changedKeys, const QByteArray* textReadAs) {
        if (!isWellFormedIdentifier(uuid)) {
            return; // cannot travel; it stays on this machine
        }
        std::optional<EntryState> before = target.load(uuid);
        LocalValues now = localValues(v, before);
        if (key && changedKeys != kAllEntryKeys) {
            // Only the changed properties are this save's; the others are
            // whatever the row holds now (perhaps another machine's, applied
            // since the record was read), and must not be stamped as ours.
            const std::optional<LocalValues> row =
                before && target.loadedRow() == key ? valuesOf(*before) : target.rowValues(*key);
            if (row) {
                now = keepUnchanged(*row, now, changedKeys);
            }
        }
        // A text not yet in any log was never seen elsewhere: written over, it is no conflict.
        // Told before this save stamps anything: its own stamp may be lifted.
        const std::set<Stamp> unpublishedBefore = [&] {
            std::set<Stamp> versions;
            for (const Stamp& v :
                 before ? std::vector{before->text, before->textBase} : std::vector<Stamp>{}) {
                if (isOwnUnpublished(v, writer, publishedClock, clock, lifted, uuid))
                    versions.insert(v);
            }
            return versions;
        }();
        auto ownUnpublished = [&](const Stamp& version) {
            return unpublishedBefore.count(version) > 0;
        };
        const bool unpublished = before && ownUnpublished(before->text);
        EntryState after = localEdit(before, uuid, now, tick(uuid, before), unpublished);
        if (before && after == *before) {
            return;
        }
        // The row's text is not the one the edit was typed over: another
        // machine's, applied after the context read the entry. The edit was
        // made beside it, as if both were saved apart, so it is written over
        // what that text replaced and that text stays as a conflicting copy.
        const bool beside = before && after.text != before->text && textReadAs &&
                            isVisible(*before) && !before->text.isNull() &&
                            !ownUnpublished(before->text) &&
                            !(before->hasText == !textReadAs->isNull() &&
                              (!before->hasText || before->entryText == *textReadAs));
        if (beside) {
            after.textBase = before->textBase;
        }
        if (before && after.text != before->text) {
            // Seen and written over here: never a conflict, wherever it turns
            // up. A text of this writer's that no log holds turns up nowhere,
            // so saving while typing leaves no trail (nor does a diary that
            // never takes part in the exchange).
            for (const Stamp& replaced : {after.textBase, beside ? Stamp{} : before->text}) {
                if (!replaced.isNull() && !ownUnpublished(replaced))
                    target.addSuperseded(uuid, replaced);
            }
        }
        if (beside && !target.isSuperseded(uuid, before->text)) {
            // Every machine makes the same copy once it has both texts; this
            // one has them now.
            const QString copy = conflictCopyIdentifier(uuid, before->text);
            if (!target.keyOf(copy)) {
                keepConflictingCopy(target, *before);
                if (const std::optional<qint64> made = target.keyOf(copy))
                    copies.push_back(*made);
            }
        }
        ok = ok && target.storeStamps(after, true) && target.enqueue(uuid);
    };
    for (const EntryValues* v : changes.inserted) {
        edit(v->uuid, *v, std::nullopt, kAllEntryKeys, nullptr);
    }
    for (const PersistentStore::Update& u : changes.updated) {
        edit(u.values->uuid, *u.values, u.key, u.changedKeys, u.textReadAs);
    }
    for (qint64 key : changes.deleted) {
        SqliteStatement s(db.handle(), "SELECT uuid FROM entry WHERE key = ?");
        s.bindInt64(1, key);
        if (s.step() != SQLITE_ROW)
            continue;
        const QString uuid = s.columnText(0);
        if (!isWellFormedIdentifier(uuid))
            continue;
        const std::optional<EntryState> before = target.load(uuid);
        // The trashed text goes out with the tombstone, and every machine that
        // takes it in knows it was seen and deleted: so does this one.
        if (before && !before->text.isNull())
            target.addSuperseded(uuid, before->text);
        ok = ok && before && target.storeStamps(localDelete(*before, tick(uuid, before)), false) &&
             target.enqueue(uuid);
    }
    target.finish();
    ok = ok && !target.failed && setStateValue(db, "clock", QString::number(clock)) &&
         (!liftedChanged || storeLiftedStamps(db, lifted));
    if (!ok && error) {
        *error = cloudError(db, QStringLiteral("saved"));
    }
    if (ok && changes.addedCopies) {
        *changes.addedCopies = std::move(copies);
    }
    return ok;
}

namespace {
bool applyLog(SqliteDatabase& db, const ChangeLog& log, bool snapshot, AppliedChanges* changes,
              Error* error);
}

bool applyChangeLog(SqliteDatabase& db, const ChangeLog& log, AppliedChanges* changes,
                    Error* error) {
    return applyLog(db, log, false, changes, error);
}

bool applySnapshot(SqliteDatabase& db, const ChangeLog& snapshot, AppliedChanges* changes,
                   Error* error) {
    return applyLog(db, snapshot, true, changes, error);
}

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

bool claimPendingLog(SqliteDatabase& db, Error* error, int limit) {
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

std::vector<std::pair<QUuid, quint64>> appliedSequences(SqliteDatabase& db) {
    std::vector<std::pair<QUuid, quint64>> applied;
    SqliteStatement s(db.handle(), "SELECT writer, sequence FROM appliedLog ORDER BY writer");
    while (s.step() == SQLITE_ROW) {
        applied.emplace_back(QUuid::fromString(s.columnText(0)), quint64(s.columnInt64(1)));
    }
    return applied;
}

int writePendingLogs(SqliteDatabase& db, const QString& writerFolder, Error* error) {
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
    for (const auto& [sequence, bytes] : logs) {
        const QString name = changeLogFileName(quint64(sequence));
        const QString path = writerFolder + QLatin1Char('/') + name;
        if (!QFileInfo::exists(path)) {
            // Written whole under a name no sync engine copies, then renamed:
            // a log only ever appears complete under its own name.
            const QString temporary =
                writerFolder + QStringLiteral("/.") + name + QStringLiteral(".nosync");
            QFile file(temporary);
            if (!QDir().mkpath(writerFolder) ||
                !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
                const QString why = file.errorString();
                file.close();
                QFile::remove(temporary);
                return fail(
                    Error{kStoreErrorDomain, StoreSaveError,
                          QStringLiteral("The change log \u201c%1\u201d could not be written: %2.")
                              .arg(path, why)});
            }
            file.close();
            if (::rename(QFile::encodeName(temporary).constData(),
                         QFile::encodeName(path).constData()) != 0) {
                QFile::remove(temporary);
                return fail(
                    Error{kStoreErrorDomain, StoreSaveError,
                          QStringLiteral("The change log \u201c%1\u201d could not be written.")
                              .arg(path)});
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
