#pragma once

#include "ui/appearance/ColorTagImageTransformer.h"

namespace quillet {

// The narrow strip at the left of a list row.
class ColorTagToCellTagImageTransformer : public ColorTagImageTransformer {
public:
    using ColorTagImageTransformer::ColorTagImageTransformer;

protected:
    QString pattern() const override;
};

} // namespace quillet
