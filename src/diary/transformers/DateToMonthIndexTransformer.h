#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// 0 for January to 11 for December: the row of the month grid.
class DateToMonthIndexTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
