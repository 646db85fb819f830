#pragma once

#include <QPixmap>
#include <QString>

namespace quillet {

// Images by name from the application's resources (":/images/<name>").
class ImageLibrary {
public:
    // A null pixmap when no image has that name.
    static QPixmap imageNamed(const QString& name);
};

} // namespace quillet
