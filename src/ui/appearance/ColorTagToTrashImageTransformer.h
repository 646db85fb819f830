#pragma once

#include "ui/appearance/ColorTagImageTransformer.h"

namespace quillet {

class ColorTagToTrashImageTransformer : public ColorTagImageTransformer {
public:
    using ColorTagImageTransformer::ColorTagImageTransformer;

protected:
    QString pattern() const override;
};

} // namespace quillet
