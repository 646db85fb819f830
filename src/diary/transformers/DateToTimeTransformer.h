#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// The time in the user's short time style, without the date.
class DateToTimeTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
