// Saving long texts beside the window: a 5 MB entry takes tens of
// milliseconds to fold and write, which the window would otherwise spend not
// answering the keys typed after a pause. The records stay changed until the
// commit is back here, so a merge or another save meanwhile sees them as
// unsaved, and only those still as they were saved are marked saved then.
#include "store/ManagedObjectContext.h"

#include "core/TextFolder.h"
#include "store/ManagedObjectContextPrivate.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"

#include <algorithm>

namespace quillet {

using detail::sameText;

namespace {

// The record still holds what the save wrote of it.
bool stillAsSaved(const EntryValues& now, const EntryValues& saved, unsigned changedKeys) {
    const bool text = changedKeys & entryKeyBit(EntryKey::EntryText);
    return now.uuid == saved.uuid && now.colorTag == saved.colorTag &&
           now.monthTag == saved.monthTag && now.hasTimeStamp == saved.hasTimeStamp &&
           now.timeStamp == saved.timeStamp &&
           (!text || now.entryText.isSharedWith(saved.entryText) ||
            sameText(now.entryText, saved.entryText));
}

} // namespace

bool ManagedObjectContext::saveAside() {
    PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
    if (saveAside_ || restLoad_ || !store || store->refusesWrites() || !inserted_.empty() ||
        !deleted_.empty() || updated_.empty()) {
        return false;
    }
    const auto textKey = entryKeyBit(EntryKey::EntryText);
    const bool longText = std::any_of(updated_.begin(), updated_.end(), [&](ManagedObject* o) {
        const auto keys = changedKeys_.find(o);
        return keys != changedKeys_.end() && (keys->second & textKey) &&
               o->values_.entryText.size() >= kSaveAsideBytes;
    });
    // A file gone or a text that cannot be read is the save's here to tell.
    if (!longText || !store->checkFileInPlace(nullptr)) {
        return false;
    }
    processPendingChanges();
    foldAheadTimer_.stop();
    takeFoldsAhead(false);
    std::vector<ManagedObject*> updated(updated_.begin(), updated_.end());
    std::sort(updated.begin(), updated.end(),
              [](ManagedObject* a, ManagedObject* b) { return a->id_.value < b->id_.value; });
    auto job = std::make_unique<SaveAside>();
    job->items.reserve(updated.size());
    for (ManagedObject* o : updated) {
        const auto known = changedKeys_.find(o);
        const unsigned keys = known == changedKeys_.end() ? kAllEntryKeys : known->second;
        if ((keys & textKey) && o->values_.textFaulted && !fulfillTextFault(o)) {
            return false;
        }
        SaveAside::Item& item = job->items.emplace_back();
        item.object = o;
        item.key = o->id_.value;
        item.changedKeys = keys;
        item.fold = o->foldStale_;
        // A stale fold is made anew on the helper: not worth copying.
        FoldedText folded = item.fold ? std::move(o->values_.foldedText) : FoldedText();
        item.values = o->values_;
        if (item.fold) {
            o->values_.foldedText = std::move(folded);
        }
        if (const auto read = textReadAs_.find(o); read != textReadAs_.end()) {
            item.textReadAs = read->second;
            item.hasTextReadAs = true;
        }
    }
    store->settleFileIdentity();
    SaveAside* running = job.get();
    running->worker = std::thread([this, running, store] {
        PersistentStore::Changes changes;
        for (SaveAside::Item& item : running->items) {
            if (item.fold) {
                item.values.foldedText = TextFolder::fold(QString::fromUtf8(item.values.entryText));
            }
            PersistentStore::Update& update =
                changes.updated.emplace_back(item.key, &item.values, item.changedKeys);
            if (item.hasTextReadAs) {
                update.textReadAs = &item.textReadAs;
            }
        }
        changes.addedCopies = &running->copies;
        running->saved = store->saveAside(changes, &running->error);
        QMetaObject::invokeMethod(
            this, [this] { finishSaveAside(); }, Qt::QueuedConnection);
    });
    saveAside_ = std::move(job);
    return true;
}

void ManagedObjectContext::finishSaveAside() {
    if (!saveAside_) {
        return;
    }
    const std::unique_ptr<SaveAside> job = std::move(saveAside_);
    job->worker.join();
    if (!job->saved) {
        emit savedAside(false, job->error);
        return;
    }
    if (PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr) {
        store->savedAside();
    }
    ChangeSet saved;
    for (SaveAside::Item& item : job->items) {
        ManagedObject* o = item.object;
        saved.updated.push_back(o);
        if (!o->isLive() || o->inserted_ || o->id_.value != item.key) {
            continue; // deleted or made anew meanwhile: its own change follows
        }
        const auto keys = changedKeys_.find(o);
        const unsigned changedNow = keys == changedKeys_.end() ? kAllEntryKeys : keys->second;
        if (changedNow == item.changedKeys &&
            stillAsSaved(o->values_, item.values, item.changedKeys)) {
            o->updated_ = false;
            updated_.erase(o);
            changedKeys_.erase(o);
            textReadAs_.erase(o);
            if (item.fold && o->foldStale_) {
                o->values_.foldedText = std::move(item.values.foldedText);
                o->foldStale_ = false;
                unfolded_.erase(o);
            }
        } else if (item.changedKeys & entryKeyBit(EntryKey::EntryText)) {
            // Typed on meanwhile: over the text the file holds now.
            textReadAs_[o] = item.values.entryText;
        }
    }
    takeInCopies(job->copies, &saved);
    emit didSave(saved);
    emit savedAside(true, Error());
}

} // namespace quillet
