#pragma once

#include "ui/appearance/ColorTagImageTransformer.h"

namespace quillet {

// The band under the editor.
class ColorTagToFootImageTransformer : public ColorTagImageTransformer {
public:
    using ColorTagImageTransformer::ColorTagImageTransformer;

protected:
    QString pattern() const override;
};

} // namespace quillet
