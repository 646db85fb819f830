#pragma once

#include "appearance/ValueTransformer.h"

namespace quillet {

// The color of a tag in the list and the pickers: 1 to 5 their own color,
// anything else (tag 0, no tag) white.
class CatIDToColorTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override;
    QVariant transformedValue(const QVariant& value) const override;
};

// A color tag into the image of the current theme named by one of Utility's
// patterns; no value when the theme has no image for that number.
class ColorTagImageTransformer : public ValueTransformer {
public:
    QMetaType transformedValueClass() const override;
    QVariant transformedValue(const QVariant& value) const override;

protected:
    virtual QString pattern() const = 0;
};

// The narrow strip at the left of a list row.
class ColorTagToCellTagImageTransformer : public ColorTagImageTransformer {
protected:
    QString pattern() const override;
};

// The tileable paper behind the editor.
class ColorTagToBackImageTransformer : public ColorTagImageTransformer {
protected:
    QString pattern() const override;
};

// The band under the editor.
class ColorTagToFootImageTransformer : public ColorTagImageTransformer {
protected:
    QString pattern() const override;
};

class ColorTagToTrashImageTransformer : public ColorTagImageTransformer {
protected:
    QString pattern() const override;
};

} // namespace quillet
