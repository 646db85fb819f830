#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// Dates rendered through the shared formatter of Utility: the user's locale
// and the local time zone. A missing date gives no value.
class DateToDayTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
