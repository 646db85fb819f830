#include "appearance/TagImageTransformers.h"

#include "app/Utility.h"
#include "appearance/ImageLibrary.h"

#include <QColor>
#include <QPixmap>

namespace quillet {

QMetaType CatIDToColorTransformer::transformedValueClass() const {
    return QMetaType::fromType<QColor>();
}

QVariant CatIDToColorTransformer::transformedValue(const QVariant& value) const {
    switch (intValue(value)) {
    case 1: return QColor(235, 83, 57);
    case 2: return QColor(239, 128, 124);
    case 3: return QColor(251, 181, 109);
    case 4: return QColor(105, 149, 78);
    case 5: return QColor(121, 171, 182);
    default: return QColor(Qt::white);
    }
}

QMetaType ColorTagImageTransformer::transformedValueClass() const {
    return QMetaType::fromType<QPixmap>();
}

QVariant ColorTagImageTransformer::transformedValue(const QVariant& value) const {
    const QPixmap image = ImageLibrary::imageNamed(Utility::imageName(pattern(), intValue(value)));
    return image.isNull() ? QVariant() : QVariant(image);
}

QString ColorTagToCellTagImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeCellImageName();
}

QString ColorTagToBackImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeBackgroundImageName();
}

QString ColorTagToFootImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeFooterImageName();
}

QString ColorTagToTrashImageTransformer::pattern() const {
    return Utility::sharedUtility()->themeTrashImageName();
}

} // namespace quillet
