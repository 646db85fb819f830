#include "ui/appearance/ThemeColorPickerController.h"

#include "diary/Utility.h"
#include "ui/appearance/ImageLibrary.h"

#include <QPaintEvent>
#include <QPainter>

namespace quillet {

ThemeColorPickerController::ThemeColorPickerController(Utility* utility, QWidget* parent)
    : ColorPickerController(utility, parent) {
    setObjectName(QStringLiteral("themeColorPicker"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Plain images everywhere, no tag marked yet.
    ThemeColorPickerController::deselectAll();
}

void ThemeColorPickerController::deselectAll() {
    const QString pattern = utility_->themePickerImageName();
    for (int tag = 0; tag < 6; ++tag) {
        buttonForTag(tag)->setImage(ImageLibrary::imageNamed(Utility::imageName(pattern, tag)));
    }
    // Pressing a button shows the same image: the highlight alone marks the pick.
    for (int tag = 0; tag < 6; ++tag) {
        buttonForTag(tag)->setAlternateImage(
            ImageLibrary::imageNamed(Utility::imageName(pattern, tag)));
    }
}

void ThemeColorPickerController::setSelID(int tag) {
    setSelectedEmotionID(tag);
    deselectAll();
    if (ColorPickerButton* button = buttonForTag(tag)) {
        const QString pattern = utility_->themePickerHighlightImageName();
        const QPixmap highlighted = ImageLibrary::imageNamed(Utility::imageName(pattern, tag));
        button->setImage(highlighted);
        button->setAlternateImage(highlighted);
    }
}

void ThemeColorPickerController::setSelIDfromTab(int tag) {
    setSelID(tag);
    tellDelegateColorPicked();
}

void ThemeColorPickerController::paintEvent(QPaintEvent* event) {
    QPixmap pattern = ImageLibrary::imageNamed(
        utility_->themeVariantImageName(QStringLiteral("eco_pick_back.png")));
    QPainter painter(this);
    if (pattern.isNull()) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    if (pattern.deviceIndependentSize() != QSizeF(321, 219)) {
        pattern = pattern.scaled(QSize(321, 219) * pattern.devicePixelRatio(),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    painter.fillRect(event->rect(), QBrush(pattern));
}

} // namespace quillet
