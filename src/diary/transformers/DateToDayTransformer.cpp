#include "diary/transformers/DateToDayTransformer.h"

#include "diary/transformers/TransformerSupport.h"

namespace quillet {

QVariant DateToDayTransformer::transformedValue(const QVariant& value) const {
    return TransformerSupport::rendered(value, QStringLiteral("d"));
}

} // namespace quillet
