#pragma once

#include "appearance/ValueTransformer.h"

namespace quillet {

// The stored name of the editor font, whatever the bound value.
class FontNameTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override { return QMetaType::fromType<QString>(); }
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
