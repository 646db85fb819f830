#include "diary/transformers/ObjectToIsSelectedTransformer.h"

#include "diary/transformers/TransformerSupport.h"
#include "store/ArrayController.h"

namespace quillet {

ObjectToIsSelectedTransformer::ObjectToIsSelectedTransformer(ArrayController* arrayController)
    : arrayController_(arrayController) {}

ArrayController* ObjectToIsSelectedTransformer::arrayController() const {
    return arrayController_;
}

QVariant ObjectToIsSelectedTransformer::transformedValue(const QVariant& value) const {
    return isEntrySelected(TransformerSupport::entryOf(value));
}

bool ObjectToIsSelectedTransformer::isEntrySelected(const ManagedObject* entry) const {
    Q_UNUSED(entry);
    return false;
}

} // namespace quillet
