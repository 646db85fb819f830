#include "diary/transformers/ObjectValueToNotFirstOfDayTransformer.h"

#include "core/IndexSet.h"
#include "diary/Utility.h"
#include "diary/transformers/TransformerSupport.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"

namespace quillet {

ObjectValueToNotFirstOfDayTransformer::ObjectValueToNotFirstOfDayTransformer(
    ArrayController* arrayController)
    : arrayController_(arrayController) {}

ArrayController* ObjectValueToNotFirstOfDayTransformer::arrayController() const {
    return arrayController_;
}

Utility* ObjectValueToNotFirstOfDayTransformer::utility() const {
    if (!utility_) {
        utility_ = Utility::sharedUtility();
    }
    return utility_;
}

QVariant ObjectValueToNotFirstOfDayTransformer::transformedValue(const QVariant& value) const {
    return !isEntryFirstOfDay(TransformerSupport::entryOf(value));
}

bool ObjectValueToNotFirstOfDayTransformer::isEntryFirstOfDay(const ManagedObject* entry) const {
    if (!arrayController_ || !entry) {
        return true;
    }
    const std::size_t index = arrayController_->indexOfObject(entry);
    if (index == IndexSet::NotFound || index == 0) {
        return true;
    }
    const ManagedObject* previous = arrayController_->objectAtIndex(index - 1);
    const QString pattern = QStringLiteral("yyyyMMdd");
    const QString day = utility()->stringWithDateFormat(pattern, entry->timeStamp());
    const QString previousDay = utility()->stringWithDateFormat(pattern, previous->timeStamp());
    return day != previousDay;
}

} // namespace quillet
