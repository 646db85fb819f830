#include "ui/appearance/ColorTagImageTransformer.h"

#include "diary/Utility.h"
#include "ui/appearance/ColorTagToBackImageTransformer.h"
#include "ui/appearance/ColorTagToCellTagImageTransformer.h"
#include "ui/appearance/ColorTagToFootImageTransformer.h"
#include "ui/appearance/ColorTagToTrashImageTransformer.h"
#include "ui/appearance/ImageLibrary.h"

#include <QPixmap>

namespace quillet {

QVariant ColorTagImageTransformer::transformedValue(const QVariant& value) const {
    const QPixmap image = ImageLibrary::imageNamed(Utility::imageName(pattern(), intValue(value)));
    return image.isNull() ? QVariant() : QVariant(image);
}

void ColorTagImageTransformer::registerClasses(Utility* utility) {
    static const bool registered = [utility] {
        setValueTransformerClass(QStringLiteral("ColorTagToCellTagImageTransformer"), [utility] {
            return std::make_shared<ColorTagToCellTagImageTransformer>(utility);
        });
        setValueTransformerClass(QStringLiteral("ColorTagToBackImageTransformer"), [utility] {
            return std::make_shared<ColorTagToBackImageTransformer>(utility);
        });
        setValueTransformerClass(QStringLiteral("ColorTagToFootImageTransformer"), [utility] {
            return std::make_shared<ColorTagToFootImageTransformer>(utility);
        });
        setValueTransformerClass(QStringLiteral("ColorTagToTrashImageTransformer"), [utility] {
            return std::make_shared<ColorTagToTrashImageTransformer>(utility);
        });
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace quillet
