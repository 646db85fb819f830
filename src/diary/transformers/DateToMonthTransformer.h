#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

class DateToMonthTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
