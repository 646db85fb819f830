// The save: every pending change to the store in one transaction, and memory
// brought in line only once it committed.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObject.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"

#include <algorithm>

namespace quillet {

bool ManagedObjectContext::save(Error* error, bool waitForDisk) {
    finishSaveAside();
    // A large diary's whole-file check comes with the rest of its rows:
    // nothing is written to a file before that check has passed.
    ensureAllLoaded();
    processPendingChanges();
    if (!hasChanges()) {
        PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
        return !waitForDisk || !store || store->sync(error);
    }
    // A text is written with its folded form.
    ensureFoldedTexts();
    PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
    if (!store) {
        if (error) {
            *error = Error{
                kStoreErrorDomain, StoreSaveError,
                QStringLiteral("The diary could not be saved because no diary file is open.")};
        }
        return false;
    }
    // Keep the store's order: the records in the order they were made.
    auto inCreationOrder = [this](const std::unordered_set<ManagedObject*>& set) {
        std::vector<ManagedObject*> list(set.begin(), set.end());
        std::sort(list.begin(), list.end(), [](ManagedObject* a, ManagedObject* b) {
            return a->id_.value < 0 && b->id_.value < 0 ? a->id_.value > b->id_.value
                                                        : a->id_.value < b->id_.value;
        });
        return list;
    };
    const std::vector<ManagedObject*> inserted = inCreationOrder(inserted_);
    const std::vector<ManagedObject*> updated = inCreationOrder(updated_);
    const std::vector<ManagedObject*> deleted = inCreationOrder(deleted_);
    // A record is written property by property: only what this context
    // changed since it read the record, so that a change another connection
    // made meanwhile to the others stays. Anything else is written whole, and
    // a text that never left the file must be read first or it would be blanked.
    std::vector<unsigned> changedKeys;
    changedKeys.reserve(updated.size());
    for (ManagedObject* o : updated) {
        const auto known = changedKeys_.find(o);
        changedKeys.push_back(known == changedKeys_.end() ? kAllEntryKeys : known->second);
        if ((changedKeys.back() & entryKeyBit(EntryKey::EntryText)) && o->values_.textFaulted &&
            !fulfillTextFault(o)) {
            if (error) {
                *error =
                    Error{kStoreErrorDomain, StoreSaveError,
                          QStringLiteral("The diary could not be saved because an entry's text "
                                         "could not be read from the diary file.")};
            }
            return false;
        }
    }

    PersistentStore::Changes changes;
    for (ManagedObject* o : inserted) {
        changes.inserted.push_back(&o->values_);
    }
    for (std::size_t i = 0; i < updated.size(); ++i) {
        PersistentStore::Update& u = changes.updated.emplace_back(
            updated[i]->id_.value, &updated[i]->values_, changedKeys[i]);
        if (const auto read = textReadAs_.find(updated[i]); read != textReadAs_.end()) {
            u.textReadAs = &read->second;
        }
    }
    for (ManagedObject* o : deleted) {
        changes.deleted.push_back(o->id_.value);
    }
    std::vector<qint64> keys;
    std::vector<qint64> copies;
    changes.addedCopies = &copies;
    if (!store->save(changes, &keys, error, waitForDisk)) {
        return false;
    }

    // Only now, with the transaction committed, does memory follow.
    ChangeSet saved;
    for (std::size_t i = 0; i < inserted.size(); ++i) {
        ManagedObject* o = inserted[i];
        byID_.remove(o->id_.value);
        o->id_ = ManagedObjectID{keys[i]};
        registerID(o);
        o->inserted_ = false;
        // A new text nobody is typing into goes back to the file, as every
        // text does at a launch: the record keeps its search form and reads
        // the text when asked. An import of a large diary would otherwise
        // hold all its texts for as long as the window is open.
        if (o != typing_ && o != place_.object && !o->values_.entryText.isNull()) {
            o->values_.entryText = QByteArray();
            o->values_.textFaulted = true;
        }
        saved.inserted.push_back(o);
    }
    for (ManagedObject* o : updated) {
        o->updated_ = false;
        saved.updated.push_back(o);
    }
    for (ManagedObject* o : deleted) {
        o->state_ = ManagedObject::State::Gone;
        byID_.remove(o->id_.value);
        saved.deleted.push_back(o);
    }
    inserted_.clear();
    updated_.clear();
    deleted_.clear();
    changedKeys_.clear();
    textReadAs_.clear();
    takeInCopies(copies, &saved);
    emit didSave(saved);
    return true;
}

void ManagedObjectContext::takeInCopies(const std::vector<qint64>& copies, ChangeSet* saved) {
    // A text a save kept beside an edit, as a new entry of its own.
    ChangeSet added;
    for (qint64 key : copies) {
        if (objectRegisteredForID(ManagedObjectID{key})) {
            continue;
        }
        ManagedObject* copy = objectWithID(ManagedObjectID{key});
        fulfillFault(copy);
        added.inserted.push_back(copy);
        saved->inserted.push_back(copy);
    }
    if (!added.inserted.empty()) {
        emit objectsDidChange(added);
    }
}

} // namespace quillet
