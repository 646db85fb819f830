// A save as the exchange sees it: stamped, with conflicting copies kept where
// an edit was made beside another machine's text, and queued for the next log.
#include "store/cloud/CloudTables.h"

#include "store/cloud/ClockSkew.h"
#include "store/cloud/SqlTarget.h"

#include <set>

namespace quillet::cloud {

using namespace detail;

namespace {

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
            for (const Stamp& stamp :
                 before ? std::vector{before->text, before->textBase} : std::vector<Stamp>{}) {
                if (isOwnUnpublished(stamp, writer, publishedClock, clock, lifted, uuid))
                    versions.insert(stamp);
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

} // namespace quillet::cloud
