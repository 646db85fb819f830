#include "ui/appearance/ColorTagToFootImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToFootImageTransformer::pattern() const {
    return utility_->themeFooterImageName();
}

} // namespace quillet
