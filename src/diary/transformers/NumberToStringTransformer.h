#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

class NumberToStringTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
