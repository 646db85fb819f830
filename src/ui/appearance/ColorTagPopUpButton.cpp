#include "ui/appearance/ColorTagPopUpButton.h"

#include "diary/Utility.h"
#include "ui/appearance/ImageLibrary.h"

namespace quillet {

ColorTagPopUpButton::ColorTagPopUpButton(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("colorTagPopUpButton"));
    setIconSize(QSize(25, 25));
}

void ColorTagPopUpButton::awakeFromNib() {
    const QString pattern = Utility::sharedUtility()->themeIconImageName();
    for (int tag = 0; tag < 6; ++tag) {
        QPixmap image = ImageLibrary::imageNamed(Utility::imageName(pattern, tag));
        if (!image.isNull() && image.deviceIndependentSize() != QSizeF(25, 25)) {
            image = image.scaled(QSize(25, 25) * image.devicePixelRatio(), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        }
        addItem(image.isNull() ? QIcon() : QIcon(image), QString());
    }
}

} // namespace quillet
