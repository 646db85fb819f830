#pragma once

#include "store/cloud/ChangeLog.h"

#include <optional>

namespace quillet::cloud {

// Where merged entries are kept: the store's tables, or a test's model.
class MergeTarget {
public:
    virtual ~MergeTarget() = default;
    virtual std::optional<EntryState> load(const QString& uuid) = 0;
    virtual void store(const EntryState& state) = 0;
    // Forgets the entry entirely (no tombstone).
    virtual void remove(const QString& uuid) = 0;
    // A text version is superseded once some writer saw it and wrote over it.
    virtual bool isSuperseded(const QString& uuid, const Stamp& version) = 0;
    virtual void addSuperseded(const QString& uuid, const Stamp& version) = 0;
    // A version every machine that knew the container has applied already
    // (its marker may be gone): arriving again, it changes nothing.
    virtual bool isSettled(const Stamp& /*version*/) { return false; }
};

// An entry is on the diary unless its tombstone is newer than every change.
bool isVisible(const EntryState& state);

// Takes another writer's state of one entry in. Property by property the
// greater stamp wins, so the result does not depend on the order, repetition
// or delay of delivery. A text that loses without anybody having written
// over it is kept as a conflicting copy: a new entry whose identifier
// follows from the losing version, so every machine makes the same one; a
// copy nobody touched goes again once a later version shows that its text
// was seen and replaced after all. A trash hides only the text its writer
// had seen: a text written elsewhere meanwhile is kept as a copy the same way.
void mergeEntry(MergeTarget& target, const EntryState& incoming);

// The conflicting copy of `version` goes unless somebody has changed it:
// its text turned out to be seen and written over, or to be shown after all.
void dropUntouchedCopy(MergeTarget& target, const QString& uuid, const Stamp& version);

// The new values a local save gave an entry.
struct LocalValues {
    QByteArray entryText;
    bool hasText = false;
    int colorTag = 0;
    bool hasTimeStamp = false;
    double timeStamp = 0;
    int monthTag = 0;
};
// Stamps the properties a save changed with `now`. A text saved again before
// its previous version left this machine keeps that version's base: the
// version in between was never seen elsewhere. `before` is null for a new
// entry; a trashed one that is saved again gets every property stamped.
EntryState localEdit(const std::optional<EntryState>& before, const QString& uuid,
                     const LocalValues& after, const Stamp& now, bool textUnpublished);
// The tombstone records the text version it deletes.
EntryState localDelete(EntryState before, const Stamp& now);

// Keeps `loser`'s text as a conflicting copy, as a merge does when it loses.
void keepConflictingCopy(MergeTarget& target, const EntryState& loser);

// The copy's identifier: derived from the entry and the losing version alone.
QString conflictCopyIdentifier(const QString& uuid, const Stamp& version);
// The first line of a conflicting copy's text.
inline constexpr char kConflictCopyHeading[] =
    "Conflicting copy (written on another machine at the same time)\n\n";

} // namespace quillet::cloud
