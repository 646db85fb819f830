// Taking in a store's rows: a small diary at once, a large one a month first
// and the rest read on a helper thread, taken in a batch per event-loop turn.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObjectContextPrivate.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"

#include <QElapsedTimer>
#include <algorithm>

namespace quillet {

namespace {
// Records are taken in a block at a time, as many blocks per turn of the
// event loop as fit in its budget, so that a key pressed meanwhile waits
// little and the rest is not spread over a hundred turns and their repaints.
// The list's share of each record, about three times the taking in, follows
// in the same turn: the budget is a quarter of the turn's.
constexpr std::size_t kTakenInPerBlock = 1024;
constexpr qint64 kTurnBudgetNs = 2'500'000;
// The reader hands over its records this many at a time.
constexpr std::size_t kHandedOverPerBlock = 8192;
} // namespace

bool ManagedObjectContext::hasAllRecords() const {
    return !restLoad_ || restLoad_->announced;
}

void ManagedObjectContext::ensureAllLoaded() const {
    if (restLoad_) {
        auto* self = const_cast<ManagedObjectContext*>(this);
        self->takeInRest(true);
    }
}

void ManagedObjectContext::takeInRest(bool everything) {
    if (!restLoad_) {
        return;
    }
    RestLoad* load = restLoad_.get();
    // Waiting for everything waits for the file's check too: a save needs it.
    if ((everything || load->checked.load()) && load->reader.joinable()) {
        load->reader.join();
    }
    // Done reading: every row was read, or the reader stopped (a damaged file).
    const bool allRead = load->collect() || !load->reader.joinable();
    const std::size_t size = load->objects.size();
    objects_.reserve(objects_.size() + (size - load->next));
    QElapsedTimer turn;
    turn.start();
    do {
        ChangeSet changes;
        const std::size_t end = std::min(size, load->next + kTakenInPerBlock);
        for (; load->next < end; ++load->next) {
            std::unique_ptr<ManagedObject>& object = load->objects[load->next];
            // Saved meanwhile (new, or loaded on demand from a merge): already here.
            if (byID_.count(object->id_.value)) {
                continue;
            }
            ManagedObject* o = object.get();
            o->loadedAtOpen_ = true;
            o->sequence_ = std::uint32_t(objects_.size());
            o->slot_ = nextSlot_++;
            objects_.push_back(std::move(object));
            registerID(o);
            indexUuid(o, QString());
            changes.inserted.push_back(o);
        }
        if (!changes.inserted.empty()) {
            emit objectsDidChange(changes);
        }
    } while (load->next < size && (everything || turn.nsecsElapsed() < kTurnBudgetNs));
    if (load->next < size) {
        QMetaObject::invokeMethod(
            this, [this] { takeInRest(false); }, Qt::QueuedConnection);
        return;
    }
    if (!allRead) {
        // The reader queues a turn with its next block.
        return;
    }
    if (!load->announced) {
        load->announced = true;
        emit rowsArrived();
    }
    if (load->reader.joinable()) {
        // The check's end queues the next turn, which ends the load.
        return;
    }
    std::unique_ptr<RestLoad> done = std::move(restLoad_);
    // The records' folded texts are in it.
    foldedArenas_.push_back(std::move(done->arena));
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
        objects_[i]->sequence_ = std::uint32_t(i);
    }
    if (PersistentStore* store = coordinator_ ? coordinator_->defaultStore() : nullptr) {
        done->complete ? store->settleFileIdentity() : store->refuseWrites(done->error);
    }
    if (!done->complete) {
        emit loadFailed(done->error);
    }
    emit restArrived();
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
        std::vector<std::unique_ptr<ManagedObject>> block;
        const auto handOver = [this, load, &block](bool last) {
            const std::lock_guard lock(load->handOver);
            const bool waiting = !load->incoming.empty();
            load->incoming.insert(load->incoming.end(), std::make_move_iterator(block.begin()),
                                  std::make_move_iterator(block.end()));
            block.clear();
            load->rowsRead = last;
            if (!waiting || last) {
                QMetaObject::invokeMethod(
                    this, [this] { takeInRest(false); }, Qt::QueuedConnection);
            }
        };
        load->complete = PersistentStore::readAllRows(
            path,
            [this, load, &block, &handOver](StoreRow&& row) {
                if (load->known.count(row.key)) {
                    return;
                }
                auto object = std::unique_ptr<ManagedObject>(
                    new ManagedObject(this, ManagedObjectID{row.key}));
                object->values_ = std::move(row.values);
                block.push_back(std::move(object));
                if (block.size() == kHandedOverPerBlock) {
                    handOver(false);
                }
            },
            &load->error,
            // Listed while the reader goes on to check the whole file.
            [&handOver] { handOver(true); }, &load->arena);
        if (!block.empty()) {
            handOver(false); // a read that failed part way: what it read is listed
        }
        load->checked.store(true);
        QMetaObject::invokeMethod(
            this, [this] { takeInRest(false); }, Qt::QueuedConnection);
    });
    if (!changes.inserted.empty()) {
        emit objectsDidChange(changes);
    }
}

} // namespace quillet
