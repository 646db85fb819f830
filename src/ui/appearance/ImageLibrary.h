#pragma once

#include <QPixmap>
#include <QString>

namespace quillet {

// Images by name from the application's resources (":/images/<name>").
// "dark_<name>" is the image drawn for a dark look: its own file when the
// resources hold one, else <name> recoloured by darkened().
class ImageLibrary {
public:
    // A null pixmap when no image has that name.
    static QPixmap imageNamed(const QString& name);
    // Paper and greys turned over in lightness (white to near black, dark
    // ink to light), saturated colours (the tags) kept nearly as they are.
    static QImage darkened(const QImage& image);
};

} // namespace quillet
