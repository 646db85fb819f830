#include "appearance/ColorTagToTrashImageTransformer.h"

#include "app/Utility.h"

namespace quillet {

QString ColorTagToTrashImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeTrashImageName();
}

} // namespace quillet
