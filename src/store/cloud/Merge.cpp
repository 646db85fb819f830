#include "store/cloud/Merge.h"

#include <QCryptographicHash>
#include <algorithm>

namespace quillet::cloud {

namespace {

bool isUntouchedCopy(const EntryState& s) {
    return s.text.isNull() && s.color.isNull() && s.moment.isNull() && s.deletion.isNull();
}

// The loser's text as an entry of its own: same moment and color tag as its
// writer saw them, every stamp null, so that any later change to it wins.
void makeCopy(MergeTarget& target, const EntryState& loser) {
    const QString id = conflictCopyIdentifier(loser.uuid, loser.text);
    if (target.load(id)) {
        return;
    }
    EntryState copy;
    copy.uuid = id;
    copy.hasText = true;
    copy.entryText = QByteArray(kConflictCopyHeading) + loser.entryText;
    copy.textTimeStamp = loser.textTimeStamp;
    copy.textMonthTag = loser.textMonthTag;
    copy.textColorTag = loser.textColorTag;
    copy.colorTag = loser.textColorTag;
    copy.hasTimeStamp = true;
    copy.timeStamp = loser.textTimeStamp;
    copy.monthTag = loser.textMonthTag;
    target.store(copy);
}

void takeText(EntryState& into, const EntryState& from) {
    into.text = from.text;
    into.textBase = from.textBase;
    into.entryText = from.entryText;
    into.hasText = from.hasText;
    into.textTimeStamp = from.textTimeStamp;
    into.textMonthTag = from.textMonthTag;
    into.textColorTag = from.textColorTag;
}

// A text that a trash hides although its writer never saw it: nobody chose
// to delete it. Decided from the merged state alone, so that every machine
// ends with the same copies whatever the order of delivery.
bool isTrashedUnseen(MergeTarget& target, const EntryState& s) {
    return !isVisible(s) && !s.text.isNull() && s.text != s.deletionSeen &&
           !target.isSuperseded(s.uuid, s.text);
}

// Keeps the entry's text as a copy while a trash hides it unseen; a copy
// nobody touched goes again once the entry is back or a trash that saw the
// text wins.
void keepTrashedUnseen(MergeTarget& target, const EntryState& s) {
    if (s.text.isNull()) {
        return;
    }
    if (isTrashedUnseen(target, s)) {
        makeCopy(target, s);
        return;
    }
    dropUntouchedCopy(target, s.uuid, s.text);
}

} // namespace

void dropUntouchedCopy(MergeTarget& target, const QString& uuid, const Stamp& version) {
    const QString copyId = conflictCopyIdentifier(uuid, version);
    if (const std::optional<EntryState> copy = target.load(copyId);
        copy && isUntouchedCopy(*copy)) {
        target.remove(copyId);
    }
}

bool isVisible(const EntryState& s) {
    return s.deletion.isNull() || std::max({s.text, s.color, s.moment}) > s.deletion;
}

void mergeEntry(MergeTarget& target, const EntryState& incoming) {
    // Texts some writer saw and replaced, or saw and trashed: never kept as copies.
    for (const Stamp& seen : {incoming.textBase, incoming.deletionSeen}) {
        if (!seen.isNull()) {
            target.addSuperseded(incoming.uuid, seen);
            dropUntouchedCopy(target, incoming.uuid, seen);
        }
    }
    std::optional<EntryState> existing = target.load(incoming.uuid);
    if (!existing) {
        target.store(incoming);
        keepTrashedUnseen(target, incoming);
        return;
    }
    EntryState s = std::move(*existing);
    if (incoming.color > s.color) {
        s.color = incoming.color;
        s.colorTag = incoming.colorTag;
    }
    if (incoming.moment > s.moment) {
        s.moment = incoming.moment;
        s.hasTimeStamp = incoming.hasTimeStamp;
        s.timeStamp = incoming.timeStamp;
        s.monthTag = incoming.monthTag;
    }
    if (incoming.deletion > s.deletion) {
        s.deletion = incoming.deletion;
        s.deletionSeen = incoming.deletionSeen;
    } else if (incoming.deletion == s.deletion) {
        // One trash told twice: by version 1 logs that guessed what it saw
        // from the text they carried. The older guess, whatever the order.
        s.deletionSeen = std::min(s.deletionSeen, incoming.deletionSeen);
    }
    if (incoming.text != s.text) {
        // Both texts settled: decided everywhere long ago, and what was kept
        // then (the copies too) is in what this machine is taking in.
        const bool decided = target.isSettled(s.text) && target.isSettled(incoming.text);
        if (incoming.text > s.text) {
            if (!s.text.isNull() && !decided && !target.isSuperseded(s.uuid, s.text)) {
                makeCopy(target, s);
            }
            takeText(s, incoming);
        } else if (!incoming.text.isNull() && !target.isSettled(incoming.text) &&
                   !target.isSuperseded(s.uuid, incoming.text)) {
            makeCopy(target, incoming);
        }
    }
    // The entry first: a copy dropped before it would free its row key for it.
    target.store(s);
    keepTrashedUnseen(target, s);
}

EntryState localEdit(const std::optional<EntryState>& before, const QString& uuid,
                     const LocalValues& after, const Stamp& now, bool textUnpublished) {
    EntryState s;
    if (before) {
        s = *before;
    }
    s.uuid = uuid;
    // Put back after a trash (undo): every property anew, newer than the
    // tombstone, the text still written over the one it had.
    const bool fresh = !before || !isVisible(*before);
    if (fresh || s.hasText != after.hasText || s.entryText != after.entryText) {
        const bool keepBase =
            !fresh && textUnpublished && s.text.writer == now.writer && !s.text.isNull();
        s.textBase = keepBase ? s.textBase : s.text;
        s.text = now;
        s.hasText = after.hasText;
        s.entryText = after.entryText;
        s.textTimeStamp = after.timeStamp;
        s.textMonthTag = after.monthTag;
        s.textColorTag = after.colorTag;
    }
    if (fresh || s.colorTag != after.colorTag) {
        s.color = now;
        s.colorTag = after.colorTag;
    }
    if (fresh || s.hasTimeStamp != after.hasTimeStamp || s.timeStamp != after.timeStamp ||
        s.monthTag != after.monthTag) {
        s.moment = now;
        s.hasTimeStamp = after.hasTimeStamp;
        s.timeStamp = after.timeStamp;
        s.monthTag = after.monthTag;
    }
    return s;
}

EntryState localDelete(EntryState before, const Stamp& now) {
    if (now > before.deletion) {
        before.deletion = now;
        before.deletionSeen = before.text;
    }
    return before;
}

void keepConflictingCopy(MergeTarget& target, const EntryState& loser) {
    makeCopy(target, loser);
}

QString conflictCopyIdentifier(const QString& uuid, const Stamp& version) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(uuid.toUtf8());
    hash.addData(QByteArray::number(version.clock));
    hash.addData(version.writer.toRfc4122());
    QByteArray digest = hash.result().left(16);
    digest[6] = char((digest[6] & 0x0f) | 0x50); // a name-based (version 5) identifier
    digest[8] = char((digest[8] & 0x3f) | 0x80);
    return QUuid::fromRfc4122(digest).toString(QUuid::WithoutBraces).toUpper();
}

} // namespace quillet::cloud
