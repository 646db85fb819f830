#include "ui/appearance/ColorTagToBackImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToBackImageTransformer::pattern() const {
    return utility_->themeBackgroundImageName();
}

} // namespace quillet
