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

void ColorTagImageTransformer::registerClasses() {
    static const bool registered = [] {
        setValueTransformerClass(QStringLiteral("ColorTagToCellTagImageTransformer"),
                                 [] { return std::make_shared<ColorTagToCellTagImageTransformer>(); });
        setValueTransformerClass(QStringLiteral("ColorTagToBackImageTransformer"),
                                 [] { return std::make_shared<ColorTagToBackImageTransformer>(); });
        setValueTransformerClass(QStringLiteral("ColorTagToFootImageTransformer"),
                                 [] { return std::make_shared<ColorTagToFootImageTransformer>(); });
        setValueTransformerClass(QStringLiteral("ColorTagToTrashImageTransformer"),
                                 [] { return std::make_shared<ColorTagToTrashImageTransformer>(); });
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace quillet
