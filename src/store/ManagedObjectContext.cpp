#include "store/ManagedObjectContext.h"

#include "store/ManagedObject.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"
#include "core/TextFolder.h"
#include "store/UndoManager.h"

#include <QThread>
#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#ifdef __GLIBC__
#include <malloc.h> // malloc_trim
#endif

namespace quillet {

namespace {

unsigned keyBit(EntryKey key) {
    return 1u << unsigned(key);
}

// Writes one attribute the way the record keeps it.
void assign(EntryValues& v, EntryKey key, const QVariant& value) {
    switch (key) {
    case EntryKey::Uuid: v.uuid = value.isValid() ? value.toString() : QString(); break;
    case EntryKey::EntryText:
        break; // setText: an edit keeps its undo as the difference
    case EntryKey::ColorTag: v.colorTag = value.toInt(); break;
    case EntryKey::MonthTag: v.monthTag = value.toInt(); break;
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

bool sameText(const QByteArray& a, const QByteArray& b) {
    return a.isNull() == b.isNull() && a == b;
}

} // namespace

// The rest of a large diary, read on a helper thread: records made there
// (nobody else sees them until they are taken in on the context's thread).
struct ManagedObjectContext::RestLoad {
    std::thread reader;
    std::unordered_set<qint64> known; // the keys read for the first screen
    std::vector<std::unique_ptr<ManagedObject>> objects;
    std::size_t next = 0; // objects[next...] are still to be taken in
    bool complete = false;
    Error error;
};

// Long texts folded on a helper thread while typing pauses. The thread owns
// copies of the texts (shared, not copied, until the next edit replaces
// them); the records are looked at again only on the context's thread.
struct ManagedObjectContext::FoldAhead {
    struct Item {
        ManagedObject* object;
        QByteArray text;
        std::string folded;
    };
    std::vector<Item> items;
    std::thread worker;
    std::atomic<bool> done{false};

    ~FoldAhead() {
        if (worker.joinable()) {
            worker.join();
        }
    }
};

namespace {
// Records taken in per turn of the event loop, so that a key pressed meanwhile waits little.
constexpr std::size_t kTakenInPerTurn = 1024;
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

bool ManagedObjectContext::isFoldingAhead() const {
    return foldAhead_ && !foldAhead_->done.load(std::memory_order_acquire);
}

void ManagedObjectContext::startFoldAhead() {
    if (isFoldingAhead()) {
        foldAheadTimer_.start(); // one fold at a time: try again after this one
        return;
    }
    foldAhead_.reset();
    auto ahead = std::make_unique<FoldAhead>();
    for (ManagedObject* object : unfolded_) {
        const QByteArray& text = object->values_.entryText;
        if (text.size() >= kFoldAheadBytes) {
            ahead->items.push_back({object, text, {}});
        }
    }
    runFoldAhead(std::move(ahead));
}

void ManagedObjectContext::runFoldAhead(std::unique_ptr<FoldAhead> ahead) {
    if (ahead->items.empty()) {
        return;
    }
    FoldAhead* job = ahead.get();
    job->worker = std::thread([job] {
        for (FoldAhead::Item& item : job->items) {
            item.folded = TextFolder::fold(QString::fromUtf8(item.text));
        }
        job->done.store(true, std::memory_order_release);
    });
    foldAhead_ = std::move(ahead);
    ++foldsAheadStarted_;
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

void ManagedObjectContext::ensureFoldedTexts() {
    foldAheadTimer_.stop();
    if (foldAhead_) {
        // A fold of a text that is still the record's is waited for (it is
        // further along than a new one); one of a text edited since is not.
        const auto current = [this](const FoldAhead::Item& item) {
            const QByteArray& text = item.object->values_.entryText;
            return unfolded_.count(item.object) &&
                   (text.isSharedWith(item.text) || sameText(text, item.text));
        };
        const bool wanted =
            std::any_of(foldAhead_->items.begin(), foldAhead_->items.end(), current);
        if (wanted || foldAhead_->done.load(std::memory_order_acquire)) {
            std::unique_ptr<FoldAhead> ahead = std::move(foldAhead_);
            ahead->worker.join();
            for (FoldAhead::Item& item : ahead->items) {
                if (current(item)) {
                    item.object->values_.foldedText = std::move(item.folded);
                    item.object->foldStale_ = false;
                    unfolded_.erase(item.object);
                }
            }
        }
    }
    for (ManagedObject* object : unfolded_) {
        EntryValues& v = object->values_;
        v.foldedText = TextFolder::fold(QString::fromUtf8(v.entryText));
        object->foldStale_ = false;
    }
    unfolded_.clear();
}

void ManagedObjectContext::ensureAllLoaded() const {
    if (restLoad_) {
        auto* self = const_cast<ManagedObjectContext*>(this);
        self->takeInRest(std::numeric_limits<std::size_t>::max());
    }
}

void ManagedObjectContext::takeInRest(std::size_t limit) {
    if (!restLoad_) {
        return;
    }
    RestLoad* load = restLoad_.get();
    if (load->reader.joinable()) {
        load->reader.join();
    }
    ChangeSet changes;
    const std::size_t size = load->objects.size();
    const std::size_t end = std::min(size, load->next + std::min(limit, size));
    objects_.reserve(objects_.size() + (load->objects.size() - load->next));
    for (; load->next < end; ++load->next) {
        std::unique_ptr<ManagedObject>& object = load->objects[load->next];
        // Saved meanwhile (new, or loaded on demand from a merge): already here.
        if (byID_.count(object->id_.value)) {
            continue;
        }
        ManagedObject* o = object.get();
        o->loadedAtOpen_ = true;
        o->sequence_ = objects_.size();
        objects_.push_back(std::move(object));
        registerID(o);
        indexUuid(o, QString());
        changes.inserted.push_back(o);
    }
    if (!changes.inserted.empty()) {
        emit objectsDidChange(changes);
    }
    if (load->next < load->objects.size()) {
        QMetaObject::invokeMethod(
            this, [this] { takeInRest(kTakenInPerTurn); }, Qt::QueuedConnection);
        return;
    }
    std::unique_ptr<RestLoad> done = std::move(restLoad_);
    // The records read at open come first, in the store's order (by key),
    // as if read together; the ones made since follow in their own order.
    const auto loaded = std::stable_partition(objects_.begin(), objects_.end(),
                                              [](const auto& o) { return o->loadedAtOpen_; });
    const auto byKey = [](const auto& a, const auto& b) { return a->id_.value < b->id_.value; };
    // Both the first screen's records and the rest's are in key order already.
    const std::size_t firstCount =
        std::min<std::size_t>(done->known.size(), std::size_t(loaded - objects_.begin()));
    const auto firstScreen = objects_.begin() + qsizetype(firstCount);
    std::inplace_merge(objects_.begin(), firstScreen, loaded, byKey);
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        objects_[i]->sequence_ = i;
    }
    if (PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr) {
        done->complete ? store->settleFileIdentity() : store->refuseWrites(done->error);
    }
    if (!done->complete) {
        emit loadFailed(done->error);
    }
    emit restArrived();
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
    object->sequence_ = objects_.size() - 1;
    registerID(object);
    return object;
}

void ManagedObjectContext::registerID(ManagedObject* object) {
    byID_[object->id_.value] = object;
}

void ManagedObjectContext::takeRows(std::vector<StoreRow> rows, ChangeSet* changes) {
    objects_.reserve(objects_.size() + rows.size());
    byID_.reserve(byID_.size() + rows.size());
    for (StoreRow& row : rows) {
        if (byID_.count(row.key)) {
            continue;
        }
        ManagedObject* object = makeObject(ManagedObjectID{row.key});
        object->values_ = std::move(row.values);
        indexUuid(object, QString());
        changes->inserted.push_back(object);
    }
}

void ManagedObjectContext::setPersistentStoreCoordinator(PersistentStoreCoordinator* coordinator) {
    coordinator_ = coordinator;
    if (!coordinator_) {
        return;
    }
    ChangeSet changes;
    for (PersistentStore* store : coordinator_->persistentStores()) {
        Error error;
        std::vector<StoreRow> rows = store->takeLoadedRows(&error);
        if (!error.isNull()) {
            store->refuseWrites(error);
            emit loadFailed(error);
        }
        takeRows(std::move(rows), &changes);
    }
    if (!changes.inserted.empty()) {
        emit objectsDidChange(changes);
    }
}

void ManagedObjectContext::setPersistentStoreCoordinator(PersistentStoreCoordinator* coordinator,
                                                         int firstMonthTag) {
    PersistentStore* store = coordinator ? coordinator->defaultStore() : nullptr;
    if (!store || store->hasReadWhole() || coordinator->persistentStores().size() != 1 ||
        restLoad_) {
        setPersistentStoreCoordinator(coordinator);
        return;
    }
    coordinator_ = coordinator;
    std::vector<StoreRow> rows;
    Error error;
    if (!store->loadMonth(firstMonthTag, &rows, &error)) {
        // The month index did not answer: read the whole diary now, as a small one.
        rows.clear();
        setPersistentStoreCoordinator(coordinator);
        return;
    }
    restLoad_ = std::make_unique<RestLoad>();
    RestLoad* load = restLoad_.get();
    for (const StoreRow& row : rows) {
        load->known.insert(row.key);
    }
    ChangeSet changes;
    takeRows(std::move(rows), &changes);
    for (ManagedObject* o : changes.inserted) {
        o->loadedAtOpen_ = true;
    }
    // The rest is read beside the main thread, which meanwhile paints the
    // first screen; its records are made there too and only taken in here.
    load->reader = std::thread([this, load, path = store->path()] {
        load->complete = PersistentStore::readAllRows(
            path,
            [this, load](StoreRow&& row) {
                if (load->known.count(row.key)) {
                    return;
                }
                auto object = std::unique_ptr<ManagedObject>(
                    new ManagedObject(this, ManagedObjectID{row.key}));
                object->values_ = std::move(row.values);
                load->objects.push_back(std::move(object));
            },
            &load->error);
        QMetaObject::invokeMethod(
            this, [this] { takeInRest(kTakenInPerTurn); }, Qt::QueuedConnection);
    });
    if (!changes.inserted.empty()) {
        emit objectsDidChange(changes);
    }
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
        byID_.erase(object->id_.value);
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
    changedKeys_[object] |= keyBit(key);
    registerUndo([this, object, key, old] { setValue(object, key, old); });
    ChangeSet changes;
    changes.updated.push_back(object);
    changes.updatedKeys.append(entryKeyName(key));
    emit objectsDidChange(changes);
}

// One step to undo a text change: what it replaced, and what it put in its
// place (to tell that the place still holds it). Kept apart from the step's
// action so that a text changed without undo can move it.
struct ManagedObjectContext::TextStep {
    qsizetype prefix = 0;
    QByteArray replaced;
    QByteArray inserted;
    bool oldWasNull = false;
    bool redo = false; // taken while undoing: dropped, not moved, by a change without undo
    bool valid = true;
};

void ManagedObjectContext::registerUndo(std::function<void()> action) {
    endTyping();
    undoManager_->registerUndo(std::move(action));
}

void ManagedObjectContext::setText(ManagedObject* object, QByteArray text) {
    object->fireText();
    EntryValues& v = object->values_;
    if (sameText(v.entryText, text)) {
        return; // the same value: nothing to save or undo
    }
    endTyping();
    if (!object->inserted_ && !v.textFaulted) {
        textReadAs_.try_emplace(object, v.entryText);
    }
    const QByteArray old = std::exchange(v.entryText, std::move(text));
    if (place_.object == object) {
        place_ = {};
    }
    registerTextStep(object, old, v.entryText);
    textChanged(object);
}

void ManagedObjectContext::replaceText(ManagedObject* object, qsizetype position, qsizetype removed,
                                       const QString& inserted) {
    if (!object || object->context_ != this || !object->isLive() || position < 0 || removed < 0) {
        return;
    }
    object->fire();
    object->fireText();
    EntryValues& v = object->values_;
    if (place_.object != object && !v.entryText.isEmpty()) {
        // Positions are counted as the editor shows the text, which shows
        // broken UTF-8 as one replacement character per byte: such a text
        // is taken as shown before it is typed into.
        const QString shown = QString::fromUtf8(v.entryText);
        if (QByteArray clean = shown.toUtf8(); clean != v.entryText) {
            setText(object, std::move(clean));
        }
    }
    const qsizetype from = utf8Offset(object, position);
    const qsizetype to = utf8Offset(object, position + removed);
    const QByteArray bytes = inserted.toUtf8();
    if (to - from == bytes.size() && !v.entryText.isNull() &&
        std::equal(bytes.cbegin(), bytes.cend(), v.entryText.cbegin() + from)) {
        return; // the same text: nothing to save or undo
    }
    if (typing_ != object) {
        endTyping();
        typing_ = object;
        typedOver_ = v.entryText; // shared; copied once, by the first key
    }
    if (!object->inserted_ && !v.textFaulted) {
        textReadAs_.try_emplace(object, v.entryText);
    }
    if (v.entryText.isNull()) {
        v.entryText = bytes;
    } else {
        v.entryText.replace(from, to - from, bytes);
    }
    place_ = {object, position + inserted.size(), from + bytes.size()};
    textChanged(object);
}

qsizetype ManagedObjectContext::utf8Offset(ManagedObject* object, qsizetype position) {
    const QByteArray& text = object->values_.entryText;
    const auto* bytes = reinterpret_cast<const uchar*>(text.constData());
    const qsizetype size = text.size();
    if (place_.object != object || place_.utf8 > size) {
        place_ = {object, 0, 0};
    }
    qsizetype utf16 = place_.utf16;
    qsizetype utf8 = place_.utf8;
    const auto length = [](uchar lead) {
        return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    };
    while (utf16 < position && utf8 < size) {
        const int n = length(bytes[utf8]);
        utf8 = std::min(size, utf8 + n);
        utf16 += n == 4 ? 2 : 1;
    }
    while (utf16 > position && utf8 > 0) {
        qsizetype lead = utf8 - 1;
        while (lead > 0 && (bytes[lead] & 0xC0) == 0x80) {
            --lead;
        }
        utf16 -= length(bytes[lead]) == 4 ? 2 : 1;
        utf8 = lead;
    }
    place_ = {object, utf16, utf8};
    return utf8;
}

void ManagedObjectContext::endTyping() {
    ManagedObject* object = std::exchange(typing_, nullptr);
    const QByteArray before = std::exchange(typedOver_, QByteArray());
    if (!object || !object->isLive() || sameText(before, object->values_.entryText)) {
        return;
    }
    // A group of its own: the typing is not undone together with whatever
    // change comes next in the same event.
    undoManager_->closeOpenGroup();
    undoManager_->beginUndoGrouping();
    registerTextStep(object, before, object->values_.entryText);
    undoManager_->endUndoGrouping();
}

void ManagedObjectContext::registerTextStep(ManagedObject* object, const QByteArray& old,
                                            const QByteArray& now) {
    if (!undoManager_->isUndoRegistrationEnabled()) {
        return;
    }
    // The step keeps only what this edit replaced, not the whole old text:
    // a long entry typed into keeps one small step per pause, not a copy of
    // itself each time.
    const qsizetype shorter = std::min(old.size(), now.size());
    const qsizetype prefix =
        std::mismatch(old.cbegin(), old.cbegin() + shorter, now.cbegin()).first - old.cbegin();
    const qsizetype suffix =
        std::mismatch(old.crbegin(), old.crbegin() + (shorter - prefix), now.crbegin()).first -
        old.crbegin();
    auto step = std::make_shared<TextStep>();
    step->prefix = prefix;
    step->replaced = old.mid(prefix, old.size() - prefix - suffix);
    step->inserted = now.mid(prefix, now.size() - prefix - suffix);
    step->oldWasNull = old.isNull();
    step->redo = undoManager_->isUndoing();
    std::vector<std::weak_ptr<TextStep>>& steps = textSteps_[object];
    if (steps.size() >= 64 && (steps.size() & (steps.size() - 1)) == 0) {
        std::erase_if(steps, [](const std::weak_ptr<TextStep>& s) { return s.expired(); });
    }
    steps.push_back(step);
    undoManager_->registerUndo([this, object, step] {
        const QByteArray& text = object->values_.entryText;
        const TextStep& s = *step;
        // A step whose place no longer holds what it put there (the text
        // changed meanwhile in a way it could not follow) is left.
        if (!s.valid || s.prefix + s.inserted.size() > text.size() ||
            !std::equal(s.inserted.cbegin(), s.inserted.cend(), text.cbegin() + s.prefix)) {
            return;
        }
        QByteArray restored;
        if (!s.oldWasNull) {
            restored.reserve(text.size() - s.inserted.size() + s.replaced.size());
            restored.append(text.constData(), s.prefix);
            restored.append(s.replaced);
            restored.append(text.constData() + s.prefix + s.inserted.size(),
                            text.size() - s.prefix - s.inserted.size());
        }
        setText(object, std::move(restored));
    });
}

void ManagedObjectContext::mapTextSteps(ManagedObject* object, const QByteArray& old,
                                        const QByteArray& now) {
    const auto found = textSteps_.find(object);
    if (found == textSteps_.end()) {
        return;
    }
    // The change as one span of the text: [at, at + removed) became added bytes.
    const qsizetype shorter = std::min(old.size(), now.size());
    qsizetype at =
        std::mismatch(old.cbegin(), old.cbegin() + shorter, now.cbegin()).first - old.cbegin();
    const qsizetype suffix =
        std::mismatch(old.crbegin(), old.crbegin() + (shorter - at), now.crbegin()).first -
        old.crbegin();
    qsizetype removed = old.size() - at - suffix;
    const qsizetype delta = (now.size() - suffix - at) - removed;
    // Newest first: each step is in the terms of the text after it, so the
    // change is carried back past each step to reach the one before.
    bool blocked = false;
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
        const std::shared_ptr<TextStep> step = it->lock();
        if (!step || !step->valid) {
            continue;
        }
        const qsizetype end = step->prefix + step->inserted.size();
        if (blocked || step->redo || (step->prefix < at + removed && end > at) ||
            (removed == 0 && step->prefix < at && end > at)) {
            step->valid = false;
            blocked = blocked || !step->redo;
            continue;
        }
        if (step->prefix >= at + removed) {
            step->prefix += delta;
        } else {
            at += step->replaced.size() - step->inserted.size();
        }
    }
}

void ManagedObjectContext::textChanged(ManagedObject* object) {
    EntryValues& v = object->values_;
    v.textFaulted = false;
    object->foldStale_ = true;
    unfolded_.insert(object);
    if (v.entryText.size() >= kFoldAheadBytes) {
        foldAheadTimer_.start();
    }
    if (!object->inserted_) {
        object->updated_ = true;
        updated_.insert(object);
    }
    changedKeys_[object] |= keyBit(EntryKey::EntryText);
    ChangeSet changes;
    changes.updated.push_back(object);
    changes.updatedKeys.append(entryKeyName(EntryKey::EntryText));
    emit objectsDidChange(changes);
}

std::optional<std::vector<ManagedObject*>> ManagedObjectContext::executeFetchRequest(
    const FetchRequest& request, Error* error) const {
    ensureAllLoaded();
    if (request.entityName != QLatin1String("Entry")) {
        if (error) {
            *error = Error{kStoreErrorDomain, StoreOpenError,
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

std::vector<ManagedObject*> ManagedObjectContext::objectsWithUuid(const QString& uuid) const {
    ensureAllLoaded();
    if (!uuidIndexBuilt_) {
        buildUuidIndex();
    }
    // A placeholder's identifier is known only once it is loaded, as a scan would load it.
    while (!unindexedFaults_.empty()) {
        ManagedObject* fault = unindexedFaults_.back();
        unindexedFaults_.pop_back();
        fault->fire();
    }
    std::vector<ManagedObject*> found;
    const EntryUuid wanted(uuid);
    const auto it = uuidIndex_.find(wanted);
    if (it == uuidIndex_.end()) {
        return found;
    }
    for (ManagedObject* object : it->second) {
        if (object->isLive() && object->values_.uuid == wanted) {
            found.push_back(object);
        }
    }
    std::sort(found.begin(), found.end(), [](const ManagedObject* a, const ManagedObject* b) {
        return a->sequence_ < b->sequence_;
    });
    return found;
}

void ManagedObjectContext::buildUuidIndex() const {
    uuidIndex_.clear();
    uuidIndex_.reserve(objects_.size());
    for (const auto& object : objects_) {
        if (object->fault_) {
            unindexedFaults_.push_back(object.get());
        } else if (!object->values_.uuid.isNull()) {
            uuidIndex_[object->values_.uuid].push_back(object.get());
        }
    }
    uuidIndexBuilt_ = true;
}

void ManagedObjectContext::indexUuid(ManagedObject* object, const QString& old) const {
    if (!uuidIndexBuilt_) {
        return;
    }
    const EntryUuid& now = object->values_.uuid;
    if (!old.isNull() && !(now == old)) {
        if (const auto it = uuidIndex_.find(EntryUuid(old)); it != uuidIndex_.end()) {
            std::erase(it->second, object);
        }
    }
    if (!now.isNull()) {
        std::vector<ManagedObject*>& carriers = uuidIndex_[now];
        if (std::find(carriers.begin(), carriers.end(), object) == carriers.end()) {
            carriers.push_back(object);
        }
    }
}

bool ManagedObjectContext::hasChanges() const {
    return !inserted_.empty() || !updated_.empty() || !deleted_.empty();
}

bool ManagedObjectContext::save(Error* error, bool waitForDisk) {
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
            *error = Error{kStoreErrorDomain, StoreSaveError,
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
        if ((changedKeys.back() & keyBit(EntryKey::EntryText)) && o->values_.textFaulted &&
            !fulfillTextFault(o)) {
            if (error) {
                *error = Error{kStoreErrorDomain, StoreSaveError,
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
        byID_.erase(o->id_.value);
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
        byID_.erase(o->id_.value);
        saved.deleted.push_back(o);
    }
    inserted_.clear();
    updated_.clear();
    deleted_.clear();
    changedKeys_.clear();
    textReadAs_.clear();
    // A text the save kept beside an edit, as a new entry of its own.
    ChangeSet added;
    for (qint64 key : copies) {
        if (objectRegisteredForID(ManagedObjectID{key})) {
            continue;
        }
        ManagedObject* copy = objectWithID(ManagedObjectID{key});
        fulfillFault(copy);
        added.inserted.push_back(copy);
        saved.inserted.push_back(copy);
    }
    if (!added.inserted.empty()) {
        emit objectsDidChange(added);
    }
    emit didSave(saved);
    return true;
}

ManagedObject* ManagedObjectContext::objectRegisteredForID(ManagedObjectID id) const {
    const auto it = byID_.find(id.value);
    return it == byID_.end() ? nullptr : it->second;
}

ManagedObject* ManagedObjectContext::objectWithID(ManagedObjectID id) {
    if (ManagedObject* known = objectRegisteredForID(id)) {
        return known;
    }
    ManagedObject* object = makeObject(id);
    object->fault_ = !id.isTemporaryID();
    if (object->fault_ && uuidIndexBuilt_) {
        unindexedFaults_.push_back(object);
    }
    return object;
}

void ManagedObjectContext::fulfillFault(ManagedObject* object) {
    if (!object->fault_) {
        return;
    }
    object->fault_ = false;
    PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
    if (store) {
        store->loadRow(object->id_.value, &object->values_, nullptr);
        indexUuid(object, QString());
    }
}

bool ManagedObjectContext::fulfillTextFault(ManagedObject* object) {
    if (!object->values_.textFaulted) {
        return true;
    }
    PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr;
    QByteArray text;
    if (!store || object->id_.isTemporaryID() || !store->loadText(object->id_.value, &text, nullptr)) {
        return false;
    }
    object->values_.entryText = text;
    object->values_.textFaulted = false;
    return true;
}

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
    if (!(keepMine && (mine & keyBit(EntryKey::Uuid)))) {
        const QString old = v.uuid;
        v.uuid = stored.uuid;
        indexUuid(object, old);
    }
    if (!(keepMine && (mine & keyBit(EntryKey::EntryText)))) {
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
    if (!(keepMine && (mine & keyBit(EntryKey::ColorTag)))) v.colorTag = stored.colorTag;
    if (!(keepMine && (mine & keyBit(EntryKey::MonthTag)))) v.monthTag = stored.monthTag;
    if (!(keepMine && (mine & keyBit(EntryKey::TimeStamp)))) {
        v.timeStamp = stored.timeStamp;
        v.hasTimeStamp = stored.hasTimeStamp;
    }
}

void ManagedObjectContext::mergeChangesFromContextDidSave(const ChangeSet& incoming) {
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
            byID_.erase(o->id_.value);
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
        byID_.erase(o->id_.value);
        changes.deleted.push_back(o);
    }
    changes.refreshed = incoming.refreshed;
    changes.invalidated = incoming.invalidated;
    changes.invalidatedAll = incoming.invalidatedAll;
    if (!changes.isEmpty()) {
        emit objectsDidChange(changes);
    }
}

void ManagedObjectContext::processPendingChanges() {
    endTyping();
    undoManager_->closeOpenGroup();
}

} // namespace quillet
