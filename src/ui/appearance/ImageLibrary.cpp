#include "ui/appearance/ImageLibrary.h"

#include "diary/ThemeNames.h"

#include <QImage>
#include <QPixmapCache>
#include <algorithm>

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
    const QString dark = ThemeNames::darkPrefix();
    if (pixmap.load(QStringLiteral(":/images/") + name)) {
        QPixmapCache::insert(key, pixmap);
    } else if (name.startsWith(dark) && name.size() > dark.size()) {
        const QPixmap light = imageNamed(name.mid(dark.size()));
        if (!light.isNull()) {
            pixmap = QPixmap::fromImage(darkened(light.toImage()));
            pixmap.setDevicePixelRatio(light.devicePixelRatio());
            QPixmapCache::insert(key, pixmap);
        }
    }
    return pixmap;
}

QImage ImageLibrary::darkened(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QColor c = QColor::fromRgba(line[x]);
            // The greyer the pixel, the more its lightness is turned over;
            // the paper lands at a dark grey rather than black.
            const qreal saturation = c.hsvSaturationF();
            const qreal grey = 1.0 - saturation * saturation;
            const qreal l = c.lightnessF();
            const qreal turned = 0.1 + (1.0 - l) * 0.82;
            const qreal lightness = std::clamp(l + (turned - l) * grey, 0.0, 1.0);
            QColor d = QColor::fromHslF(c.hslHueF(), c.hslSaturationF(), lightness, c.alphaF());
            line[x] = d.rgba();
        }
    }
    return out;
}

} // namespace quillet
