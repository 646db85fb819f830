#include "diary/transformers/DateToTimeTransformer.h"

#include "diary/Utility.h"
#include "diary/transformers/TransformerSupport.h"

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
