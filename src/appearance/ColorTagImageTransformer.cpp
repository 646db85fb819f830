#include "appearance/ColorTagImageTransformer.h"

#include "app/Utility.h"
#include "appearance/ImageLibrary.h"

#include <QPixmap>

namespace quillet {

QMetaType ColorTagImageTransformer::transformedValueClass() const {
    return QMetaType::fromType<QPixmap>();
}

QVariant ColorTagImageTransformer::transformedValue(const QVariant& value) const {
    const QPixmap image = ImageLibrary::imageNamed(Utility::imageName(pattern(), intValue(value)));
    return image.isNull() ? QVariant() : QVariant(image);
}

} // namespace quillet
