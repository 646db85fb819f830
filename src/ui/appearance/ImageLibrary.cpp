#include "ui/appearance/ImageLibrary.h"

#include <QPixmapCache>

// The theme images are compiled into the ui library; a static library drops
// a resource nobody names, so the library names it before the first lookup.
static void initImageResources() {
    Q_INIT_RESOURCE(images);
}

namespace quillet {

QPixmap ImageLibrary::imageNamed(const QString& name) {
    static const bool resourcesReady = (initImageResources(), true);
    Q_UNUSED(resourcesReady);
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
