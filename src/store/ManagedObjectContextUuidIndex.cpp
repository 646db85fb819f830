// The identifier index: built on the first ask, then kept in step, so that a
// look-up by identifier visits no other record.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObject.h"

#include <algorithm>

namespace quillet {

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

} // namespace quillet
