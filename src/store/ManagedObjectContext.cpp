// The context's face: its records' life (insert, delete, set a value) and the
// fetches; loading, saving, merging and text editing each have a file of their own.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObject.h"
#include "store/ManagedObjectContextPrivate.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/UndoManager.h"

#include <QThread>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h> // malloc_trim
#endif

namespace quillet {

namespace {

// Writes one attribute the way the record keeps it.
void assign(EntryValues& v, EntryKey key, const QVariant& value) {
    switch (key) {
    case EntryKey::Uuid:
        v.uuid = value.isValid() ? value.toString() : QString();
        break;
    case EntryKey::EntryText:
        break; // setText: an edit keeps its undo as the difference
    case EntryKey::ColorTag:
        v.colorTag = value.toInt();
        break;
    case EntryKey::MonthTag:
        v.monthTag = value.toInt();
        break;
    case EntryKey::TimeStamp: {
        const QDateTime date = value.toDateTime();
        v.hasTimeStamp = date.isValid();
        v.timeStamp = date.isValid() ? double(date.toMSecsSinceEpoch()) / 1000.0 : 0.0;
        break;
    }
    }
}

// The text as the record keeps it: UTF-8, null when unset.
QByteArray utf8Text(const QVariant& value) {
    return recordText(value.isValid() ? value.toString() : QString());
}

} // namespace

ManagedObjectContext::ManagedObjectContext(ConcurrencyType type)
    : type_(type), undoManager_(new UndoManager(this)) {
    foldAheadTimer_.setSingleShot(true);
    foldAheadTimer_.setInterval(kFoldAheadPauseMs);
    connect(&foldAheadTimer_, &QTimer::timeout, this, [this] { startFoldAhead(); });
    undoManager_->setBeforeUndoOrRedo([this] { endTyping(); });
}

ManagedObjectContext::~ManagedObjectContext() {
    if (restLoad_ && restLoad_->reader.joinable()) {
        restLoad_->reader.join();
    }
}

void ManagedObjectContext::releaseMemory() {
    uuidIndex_ = {};
    unindexedFaults_ = {};
    uuidIndexBuilt_ = false;
    if (PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr) {
        store->shrinkMemory();
    }
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void ManagedObjectContext::prepareForLargeWrite() {
    if (PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr) {
        store->widenPageCache();
    }
}

void ManagedObjectContext::performBlockAndWait(const std::function<void()>& block) {
    if (QThread::currentThread() == thread()) {
        block();
        return;
    }
    QMetaObject::invokeMethod(this, block, Qt::BlockingQueuedConnection);
}

void ManagedObjectContext::performBlock(std::function<void()> block) {
    QMetaObject::invokeMethod(this, std::move(block), Qt::QueuedConnection);
}

ManagedObject* ManagedObjectContext::makeObject(ManagedObjectID id) {
    objects_.push_back(std::unique_ptr<ManagedObject>(new ManagedObject(this, id)));
    ManagedObject* object = objects_.back().get();
    object->sequence_ = std::uint32_t(objects_.size() - 1);
    object->slot_ = nextSlot_++;
    registerID(object);
    return object;
}

void ManagedObjectContext::registerID(ManagedObject* object) {
    byID_[object->id_.value] = object;
}

ManagedObject* ManagedObjectContext::insertNewObject(const QString& entityName) {
    return insertNewObject(entityName, EntryValues());
}

ManagedObject* ManagedObjectContext::insertNewObject(const QString& entityName,
                                                     EntryValues values) {
    if (entityName != QLatin1String("Entry")) {
        return nullptr;
    }
    ManagedObject* object = makeObject(ManagedObjectID{nextTemporaryID_--});
    values.textFaulted = false;
    object->values_ = std::move(values);
    indexUuid(object, QString());
    object->inserted_ = true;
    inserted_.insert(object);
    registerUndo([this, object] { deleteObject(object); });
    ChangeSet changes;
    changes.inserted.push_back(object);
    emit objectsDidChange(changes);
    return object;
}

void ManagedObjectContext::insertObject(ManagedObject* object) {
    if (!object || object->context_ != this || object->isLive()) {
        return;
    }
    if (object->state_ == ManagedObject::State::DeletePending) {
        deleted_.erase(object);
    } else {
        // Gone: either never saved, or its row was deleted by a save; either
        // way it needs a new row.
        byID_.remove(object->id_.value);
        object->id_ = ManagedObjectID{nextTemporaryID_--};
        registerID(object);
        object->inserted_ = true;
        object->updated_ = false;
        updated_.erase(object);
        inserted_.insert(object);
    }
    object->state_ = ManagedObject::State::Live;
    registerUndo([this, object] { deleteObject(object); });
    ChangeSet changes;
    changes.inserted.push_back(object);
    emit objectsDidChange(changes);
}

void ManagedObjectContext::deleteObject(ManagedObject* object) {
    if (!object || object->context_ != this || !object->isLive()) {
        return;
    }
    if (object->inserted_) {
        object->inserted_ = false;
        inserted_.erase(object);
        object->state_ = ManagedObject::State::Gone;
    } else {
        // An undo brings the record back as a new row: its text comes along
        // now, while the row it is read from is still there.
        fulfillTextFault(object);
        object->state_ = ManagedObject::State::DeletePending;
        deleted_.insert(object);
    }
    registerUndo([this, object] { insertObject(object); });
    ChangeSet changes;
    changes.deleted.push_back(object);
    emit objectsDidChange(changes);
}

void ManagedObjectContext::setValue(ManagedObject* object, EntryKey key, const QVariant& value) {
    if (!object || object->context_ != this || !object->isLive()) {
        return;
    }
    object->fire();
    if (key == EntryKey::EntryText) {
        setText(object, utf8Text(value));
        return;
    }
    const QVariant old = object->value(key);
    const QString oldUuid = object->values_.uuid;
    assign(object->values_, key, value);
    if (key == EntryKey::Uuid) {
        indexUuid(object, oldUuid);
    }
    const QVariant now = object->value(key);
    if (old == now && old.isValid() == now.isValid()) {
        return; // the same value: nothing to save or undo
    }
    if (!object->inserted_) {
        object->updated_ = true;
        updated_.insert(object);
    }
    changedKeys_[object] |= entryKeyBit(key);
    registerUndo([this, object, key, old] { setValue(object, key, old); });
    ChangeSet changes;
    changes.updated.push_back(object);
    changes.updatedKeys.append(entryKeyName(key));
    emit objectsDidChange(changes);
}

std::optional<std::vector<ManagedObject*>>
ManagedObjectContext::executeFetchRequest(const FetchRequest& request, Error* error) const {
    ensureAllLoaded();
    if (request.entityName != QLatin1String("Entry")) {
        if (error) {
            *error =
                Error{kStoreErrorDomain, StoreOpenError,
                      QStringLiteral("No records named \u201c%1\u201d.").arg(request.entityName)};
        }
        return std::nullopt;
    }
    std::vector<ManagedObject*> result;
    if (const std::optional<QString> uuid =
            request.predicate ? request.predicate->onlyExactStringEqualityOn(QStringLiteral("uuid"))
                              : std::nullopt) {
        result = objectsWithUuid(*uuid);
    } else {
        for (const auto& object : objects_) {
            if (object->isLive() && (!request.predicate || request.predicate->evaluate(*object))) {
                result.push_back(object.get());
            }
        }
    }
    if (!request.sortDescriptors.empty()) {
        std::stable_sort(result.begin(), result.end(), [&](ManagedObject* a, ManagedObject* b) {
            return SortDescriptor::compare(request.sortDescriptors, *a, *b) < 0;
        });
    }
    return result;
}

std::vector<ManagedObject*> ManagedObjectContext::registeredObjects() const {
    ensureAllLoaded();
    return objectsLoadedSoFar();
}

std::vector<ManagedObject*> ManagedObjectContext::objectsLoadedSoFar() const {
    std::vector<ManagedObject*> result;
    result.reserve(objects_.size());
    for (const auto& object : objects_) {
        if (object->isLive()) {
            result.push_back(object.get());
        }
    }
    return result;
}

bool ManagedObjectContext::hasChanges() const {
    return !inserted_.empty() || !updated_.empty() || !deleted_.empty();
}

ManagedObject* ManagedObjectContext::objectRegisteredForID(ManagedObjectID id) const {
    return byID_.value(id.value, nullptr);
}

void ManagedObjectContext::processPendingChanges() {
    endTyping();
    undoManager_->closeOpenGroup();
}

} // namespace quillet
