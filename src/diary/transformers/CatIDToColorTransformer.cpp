#include "diary/transformers/CatIDToColorTransformer.h"

#include <QColor>

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

} // namespace quillet
