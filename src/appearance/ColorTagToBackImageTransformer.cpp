#include "appearance/ColorTagToBackImageTransformer.h"

#include "app/Utility.h"

namespace quillet {

QString ColorTagToBackImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeBackgroundImageName();
}

} // namespace quillet
