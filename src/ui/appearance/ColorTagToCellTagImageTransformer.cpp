#include "ui/appearance/ColorTagToCellTagImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToCellTagImageTransformer::pattern() const {
    return utility_->themeCellImageName();
}

} // namespace quillet
