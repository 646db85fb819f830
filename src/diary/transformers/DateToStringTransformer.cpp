#include "diary/transformers/DateToStringTransformer.h"

#include "diary/transformers/TransformerSupport.h"

namespace quillet {

QVariant DateToStringTransformer::transformedValue(const QVariant& value) const {
    return TransformerSupport::rendered(value, QStringLiteral("yyyy/MMM/dd HH:mm:ss"));
}

} // namespace quillet
