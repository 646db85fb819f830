#include "ui/appearance/ColorTagToCellTagImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToCellTagImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeCellImageName();
}

} // namespace quillet
