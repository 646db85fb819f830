#pragma once

#include <QColor>
#include <QString>

namespace quillet {

// The look of each theme beyond its images: the palette the windows are
// drawn in ("basic" is light and plain, "eco" warm paper and ink).
class ThemeStyle {
public:
    static QString styleSheet(const QString& themeName);
    static QColor accentColor(const QString& themeName);
    static QColor paperColor(const QString& themeName);
    static QColor inkColor(const QString& themeName);
    static QColor mutedInkColor(const QString& themeName);
};

} // namespace quillet
