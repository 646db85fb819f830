#pragma once

// What the files of ManagedObjectContext share beyond its header: the state
// of its two helper threads (the rest of a large diary, texts folded ahead).

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QByteArray>
#include <atomic>
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

} // namespace quillet
