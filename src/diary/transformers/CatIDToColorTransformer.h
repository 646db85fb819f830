#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// The color of a tag in the list and the pickers: 1 to 5 their own color,
// anything else (tag 0, no tag) white.
class CatIDToColorTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override;
    QVariant transformedValue(const QVariant& value) const override;
};

} // namespace quillet
