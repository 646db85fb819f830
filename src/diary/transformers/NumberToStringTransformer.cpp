#include "diary/transformers/NumberToStringTransformer.h"

namespace quillet {

QVariant NumberToStringTransformer::transformedValue(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    return value.toString();
}

} // namespace quillet
