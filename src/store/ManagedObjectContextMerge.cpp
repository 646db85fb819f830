// Merging what another context saved: records join, leave or are read again,
// keeping this context's unsaved values where the merge policy says so.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObjectContextPrivate.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"

namespace quillet {

using detail::sameText;

void ManagedObjectContext::refreshFromStore(ManagedObject* object) {
    PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
    if (!store) {
        return;
    }
    EntryValues stored;
    if (!store->loadRow(object->id_.value, &stored, nullptr)) {
        return;
    }
    const unsigned mine = changedKeys_.count(object) ? changedKeys_[object] : 0u;
    const bool keepMine = mergePolicy_ == MergePolicy::MergeByPropertyObjectTrump;
    EntryValues& v = object->values_;
    if (!(keepMine && (mine & entryKeyBit(EntryKey::Uuid)))) {
        const QString old = v.uuid;
        v.uuid = stored.uuid;
        indexUuid(object, old);
    }
    if (!(keepMine && (mine & entryKeyBit(EntryKey::EntryText)))) {
        if (!sameText(v.entryText, stored.entryText)) {
            endTyping();
            mapTextSteps(object, v.entryText, stored.entryText);
            if (place_.object == object) {
                place_ = {};
            }
        }
        v.entryText = stored.entryText;
        v.foldedText = stored.foldedText;
        v.textFaulted = false;
        object->foldStale_ = false;
        unfolded_.erase(object);
        // What is typed from now on is typed over the text just read.
        if (const auto read = textReadAs_.find(object); read != textReadAs_.end()) {
            read->second = v.entryText;
        }
    }
    if (!(keepMine && (mine & entryKeyBit(EntryKey::ColorTag))))
        v.colorTag = stored.colorTag;
    if (!(keepMine && (mine & entryKeyBit(EntryKey::MonthTag))))
        v.monthTag = stored.monthTag;
    if (!(keepMine && (mine & entryKeyBit(EntryKey::TimeStamp)))) {
        v.timeStamp = stored.timeStamp;
        v.hasTimeStamp = stored.hasTimeStamp;
    }
}

void ManagedObjectContext::mergeChangesFromContextDidSave(const ChangeSet& incoming) {
    // A save under way first: the records it wrote must not keep their
    // values over what the file holds after it as if they were unsaved.
    finishSaveAside();
    ChangeSet changes;
    changes.merged = true;
    for (ManagedObject* o : incoming.inserted) {
        if (!o || o->context_ != this) {
            continue;
        }
        fulfillFault(o);
        if (o->state_ != ManagedObject::State::Live) {
            o->state_ = ManagedObject::State::Live;
        }
        changes.inserted.push_back(o);
    }
    for (ManagedObject* o : incoming.updated) {
        if (!o || o->context_ != this || !o->isLive()) {
            continue;
        }
        if (o->fault_) {
            continue; // nothing in memory to bring up to date
        }
        refreshFromStore(o);
        changes.updated.push_back(o);
    }
    for (ManagedObject* o : incoming.deleted) {
        if (!o || o->context_ != this || o->state_ == ManagedObject::State::Gone) {
            continue;
        }
        // Removed elsewhere while edited here: the unsaved edit wins, and the
        // entry, text and all, is saved again as a new row rather than lost.
        if (o->updated_ && o->isLive() && !o->values_.textFaulted) {
            byID_.remove(o->id_.value);
            o->id_ = ManagedObjectID{nextTemporaryID_--};
            registerID(o);
            updated_.erase(o);
            changedKeys_.erase(o);
            textReadAs_.erase(o);
            o->updated_ = false;
            o->inserted_ = true;
            inserted_.insert(o);
            changes.updated.push_back(o);
            continue;
        }
        inserted_.erase(o);
        updated_.erase(o);
        deleted_.erase(o);
        changedKeys_.erase(o);
        textReadAs_.erase(o);
        o->inserted_ = o->updated_ = false;
        o->state_ = ManagedObject::State::Gone;
        byID_.remove(o->id_.value);
        changes.deleted.push_back(o);
    }
    changes.refreshed = incoming.refreshed;
    changes.invalidated = incoming.invalidated;
    changes.invalidatedAll = incoming.invalidatedAll;
    if (!changes.isEmpty()) {
        emit objectsDidChange(changes);
    }
}

} // namespace quillet
