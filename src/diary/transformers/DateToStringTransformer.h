#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// "2012/Mar/05 14:07:09", the date line above the editor.
class DateToStringTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
