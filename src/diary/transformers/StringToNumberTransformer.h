#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// A color tag from a text or a number: 1 to 5 stay, anything else is 0.
class StringToNumberTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<int>(); }
    QVariant transformedValue(const QVariant& value) const override;
    // Declared one-way so bindings never write back, but answers all the same.
    QVariant reverseTransformedValue(const QVariant& value) const override;
};

} // namespace quillet
