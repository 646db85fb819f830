#include "appearance/ColorTagToFootImageTransformer.h"

#include "app/Utility.h"

namespace quillet {

QString ColorTagToFootImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeFooterImageName();
}

} // namespace quillet
