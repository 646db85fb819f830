#include "ui/appearance/InstalledFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace quillet {

namespace {
// The family fontconfig draws a name in ("Helvetica" is an alias, not a
// family: Nimbus Sans or Liberation Sans where installed, else the system
// sans), without the foundry Qt adds to it when that names the same family.
QString matchedFamily(const QString& name) {
    QString family = QFontInfo(QFont(name)).family();
    const qsizetype foundry = family.lastIndexOf(QLatin1String(" ["));
    if (foundry > 0 && family.endsWith(QLatin1Char(']')) &&
        QFontDatabase::hasFamily(family.left(foundry))) {
        family.truncate(foundry);
    }
    return family;
}
} // namespace

std::optional<QFont> installedFontWithName(const QString& name, double size) {
    QString family = name;
    QString style;
    if (!QFontDatabase::hasFamily(family)) {
        const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
        family = dash > 0 ? name.left(dash) : QString();
        style = dash > 0 ? name.mid(dash + 1) : QString();
        if (family.isEmpty() || !QFontDatabase::hasFamily(family) ||
            !QFontDatabase::styles(family).contains(style)) {
            family = matchedFamily(name);
            style.clear();
        }
    }
    if (family.isEmpty()) {
        return std::nullopt;
    }
    QFont font(family);
    if (!style.isEmpty()) {
        font.setStyleName(style);
    }
    font.setPointSizeF(size);
    return font;
}
} // namespace quillet
