#include "ui/appearance/InstalledFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace quillet {

std::optional<QFont> installedFontWithName(const QString& name, double size) {
    QString family = name;
    QString style;
    if (!QFontDatabase::hasFamily(family)) {
        const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
        if (dash <= 0) {
            return std::nullopt;
        }
        family = name.left(dash);
        style = name.mid(dash + 1);
        if (!QFontDatabase::hasFamily(family) || !QFontDatabase::styles(family).contains(style)) {
            return std::nullopt;
        }
    }
    QFont font(family);
    if (!style.isEmpty()) {
        font.setStyleName(style);
    }
    font.setPointSizeF(size);
    return font;
}
} // namespace quillet
