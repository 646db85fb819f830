#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

// A color tag into the image of the current theme named by one of Utility's
// patterns; no value when the theme has no image for that number.
class ColorTagImageTransformer : public ValueTransformer {
public:
    QVariant transformedValue(const QVariant& value) const override;

    // Makes the four tag-to-image transformers known by their class names;
    // the views that show tag images call it before their first lookup.
    static void registerClasses();

protected:
    virtual QString pattern() const = 0;
};

} // namespace quillet
