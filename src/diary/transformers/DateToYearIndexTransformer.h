#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// The calendar year minus the first listed year: the row of the year list,
// negative before it.
class DateToYearIndexTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
