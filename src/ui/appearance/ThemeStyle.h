#pragma once

#include <QColor>
#include <QString>

namespace quillet {

// The look of each theme beyond its images: the palette the windows are
// drawn in ("basic" is light and plain, "eco" warm paper and ink), each in a
// light and a dark variant, the dark one for a desktop that asks for it.
class ThemeStyle {
public:
    static QString styleSheet(const QString& themeName, bool dark = false);
    static QColor accentColor(const QString& themeName, bool dark = false);
    static QColor paperColor(const QString& themeName, bool dark = false);
    static QColor inkColor(const QString& themeName, bool dark = false);
    static QColor mutedInkColor(const QString& themeName, bool dark = false);
    // The glyphs of the settings window's toolbar and panes.
    static QColor glyphColor(bool dark);
    // What a label is marked with to be drawn in the muted ink (the details
    // under a heading); the light variant keeps the colour the label sets.
    static const char* detailProperty();
};

} // namespace quillet
