#include "appearance/FontNameTransformer.h"

#include "app/Utility.h"

namespace quillet {

QVariant FontNameTransformer::transformedValue(const QVariant& value) const {
    Q_UNUSED(value);
    const std::optional<QFont> font = Utility::sharedUtility()->currentFont();
    return font ? QVariant(Utility::fontName(*font)) : QVariant();
}

} // namespace quillet
