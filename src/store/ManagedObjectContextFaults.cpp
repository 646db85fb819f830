// Faults: placeholders for saved records and texts left in the file, filled
// from the store when first read.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObject.h"
#include "store/PersistentStore.h"
#include "store/PersistentStoreCoordinator.h"

namespace quillet {

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
    if (!store || object->id_.isTemporaryID() ||
        !store->loadText(object->id_.value, &text, nullptr)) {
        return false;
    }
    object->values_.entryText = text;
    object->values_.textFaulted = false;
    return true;
}

} // namespace quillet
