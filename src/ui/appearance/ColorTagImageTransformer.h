#pragma once

#include "diary/transformers/ValueTransformer.h"

namespace quillet {

class Utility;

// A color tag into the image of the current theme named by one of Utility's
// patterns; no value when the theme has no image for that number.
class ColorTagImageTransformer : public ValueTransformer {
public:
    explicit ColorTagImageTransformer(Utility* utility) : utility_(utility) {}

    QVariant transformedValue(const QVariant& value) const override;

    // Makes the four tag-to-image transformers known by their class names,
    // each reading the theme from utility; the views that show tag images
    // call it, with the one they were given, before their first lookup.
    static void registerClasses(Utility* utility);

protected:
    virtual QString pattern() const = 0;

    Utility* utility_;
};

} // namespace quillet
