#include "diary/transformers/StringToNumberTransformer.h"

namespace quillet {

QVariant StringToNumberTransformer::transformedValue(const QVariant& value) const {
    const int tag = intValue(value);
    return tag >= 1 && tag <= 5 ? tag : 0;
}

QVariant StringToNumberTransformer::reverseTransformedValue(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    return value.toString();
}

} // namespace quillet
