#include "appearance/ImageLibrary.h"

#include <QPixmapCache>

namespace quillet {

QPixmap ImageLibrary::imageNamed(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        return QPixmap();
    }
    const QString key = QStringLiteral("quillet:") + name;
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    if (pixmap.load(QStringLiteral(":/images/") + name)) {
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

} // namespace quillet
