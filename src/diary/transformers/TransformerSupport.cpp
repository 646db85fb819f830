#include "diary/transformers/TransformerSupport.h"

#include "diary/Utility.h"
#include "store/ManagedObject.h"

namespace quillet {

std::optional<QDateTime> TransformerSupport::dateOf(const QVariant& value) {
    if (value.typeId() != QMetaType::QDateTime) {
        return std::nullopt;
    }
    const QDateTime date = value.toDateTime();
    return date.isValid() ? std::optional<QDateTime>(date) : std::nullopt;
}

QVariant TransformerSupport::rendered(const QVariant& value, const QString& pattern) {
    const std::optional<QDateTime> date = dateOf(value);
    if (!date) {
        return {};
    }
    const QString text = Utility::sharedUtility()->stringWithDateFormat(pattern, *date);
    return text.isNull() ? QVariant() : QVariant(text);
}

const ManagedObject* TransformerSupport::entryOf(const QVariant& value) {
    return value.canConvert<ManagedObject*>() ? value.value<ManagedObject*>() : nullptr;
}

} // namespace quillet
