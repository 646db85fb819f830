#pragma once

// What the files of ManagedObjectContext share beyond its header: the state
// of its two helper threads (the rest of a large diary, texts folded ahead).

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

namespace quillet {

namespace detail {

// A null text (never set) is not the same as an empty one.
inline bool sameText(const QByteArray& a, const QByteArray& b) {
    return a.isNull() == b.isNull() && a == b;
}

} // namespace detail

// The rest of a large diary, read on a helper thread: records made there
// (nobody else sees them until they are taken in on the context's thread),
// handed over a block at a time while the reading goes on.
struct ManagedObjectContext::RestLoad {
    std::thread reader;
    std::unordered_set<qint64> known; // the keys read for the first screen
    FoldedArena arena;                // the reader's, then the context's
    std::mutex handOver;
    std::vector<std::unique_ptr<ManagedObject>> incoming; // under handOver
    bool rowsRead = false;                                // under handOver: incoming is the last
    std::vector<std::unique_ptr<ManagedObject>> objects;  // the context's thread's
    std::size_t next = 0;             // objects[next...] are still to be taken in
    std::atomic<bool> checked{false}; // the reader is done, complete and error set
    bool announced = false;           // rowsArrived was emitted
    bool complete = false;
    Error error;

    // Moves what the reader handed over to objects; true once that was the last.
    bool collect() {
        const std::lock_guard lock(handOver);
        if (objects.empty()) {
            objects.swap(incoming);
        } else {
            objects.insert(objects.end(), std::make_move_iterator(incoming.begin()),
                           std::make_move_iterator(incoming.end()));
            incoming.clear();
        }
        return rowsRead;
    }
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

// A save of long texts on a helper thread: the records' values as they were
// when it began (texts shared, not copied), folded there where the record's
// fold was stale, and the outcome.
struct ManagedObjectContext::SaveAside {
    struct Item {
        ManagedObject* object = nullptr;
        qint64 key = 0;
        unsigned changedKeys = 0;
        EntryValues values;
        QByteArray textReadAs;
        bool hasTextReadAs = false;
        bool fold = false; // the helper folds the text
    };
    std::vector<Item> items;
    std::vector<qint64> copies;
    bool saved = false;
    Error error;
    std::thread worker;

    ~SaveAside() {
        if (worker.joinable()) {
            worker.join();
        }
    }
};

} // namespace quillet
