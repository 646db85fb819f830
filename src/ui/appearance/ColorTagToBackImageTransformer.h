#pragma once

#include "ui/appearance/ColorTagImageTransformer.h"

namespace quillet {

// The tileable paper behind the editor.
class ColorTagToBackImageTransformer : public ColorTagImageTransformer {
public:
    using ColorTagImageTransformer::ColorTagImageTransformer;

protected:
    QString pattern() const override;
};

} // namespace quillet
