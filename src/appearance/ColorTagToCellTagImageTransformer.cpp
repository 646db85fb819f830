#include "appearance/ColorTagToCellTagImageTransformer.h"

#include "app/Utility.h"

namespace quillet {

QString ColorTagToCellTagImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeCellImageName();
}

} // namespace quillet
