#include "diary/transformers/DateToWeekTransformer.h"

#include "diary/transformers/TransformerSupport.h"

namespace quillet {

QVariant DateToWeekTransformer::transformedValue(const QVariant& value) const {
    return TransformerSupport::rendered(value, QStringLiteral("EEE"));
}

} // namespace quillet
