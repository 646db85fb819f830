#include "ui/appearance/ColorTagToTrashImageTransformer.h"

#include "diary/Utility.h"

namespace quillet {

QString ColorTagToTrashImageTransformer::pattern() const {
    return utility_->themeTrashImageName();
}

} // namespace quillet
