#include "appearance/DateToTimeTransformer.h"

#include "app/Utility.h"
#include "appearance/TransformerSupport.h"

namespace quillet {

QVariant DateToTimeTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = TransformerSupport::dateOf(value);
    if (!date) {
        return {};
    }
    const QString text = Utility::sharedUtility()->stringOfTimeWithSystemFormat(*date);
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace quillet
