#include "ui/appearance/ColorTagToBackImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToBackImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeBackgroundImageName();
}

} // namespace quillet
