#pragma once

#include "ui/appearance/ColorTagImageTransformer.h"

namespace quillet {

class ColorTagToTrashImageTransformer : public ColorTagImageTransformer {
protected:
    QString pattern() const override;
};

} // namespace quillet
