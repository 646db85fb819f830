#include "ui/appearance/ColorPickerController.h"

#include "diary/Utility.h"
#include "ui/appearance/ImageLibrary.h"

#include <QHBoxLayout>

namespace quillet {

namespace {
constexpr int kTagCount = 6;
constexpr qreal kDimmed = 0.5;
const char* const kTagNames[kTagCount] = {
    QT_TRANSLATE_NOOP("ColorPickerController", "Gray"),
    QT_TRANSLATE_NOOP("ColorPickerController", "Red"),
    QT_TRANSLATE_NOOP("ColorPickerController", "Orange"),
    QT_TRANSLATE_NOOP("ColorPickerController", "Yellow"),
    QT_TRANSLATE_NOOP("ColorPickerController", "Green"),
    QT_TRANSLATE_NOOP("ColorPickerController", "Blue"),
};
} // namespace

ColorPickerController::ColorPickerController(Utility* utility, QWidget* parent)
    : QWidget(parent), utility_(utility) {
    setObjectName(QStringLiteral("colorPicker"));
    grayButton = new ColorPickerButton(this);
    redButton = new ColorPickerButton(this);
    orangeButton = new ColorPickerButton(this);
    yellowButton = new ColorPickerButton(this);
    greenButton = new ColorPickerButton(this);
    blueButton = new ColorPickerButton(this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 16, 18, 16);
    row->setSpacing(8);
    const QString plain = utility_->themePickerImageName();
    using Action = void (ColorPickerController::*)(QObject*);
    const Action actions[kTagCount] = {
        &ColorPickerController::grayButtonSelected,   &ColorPickerController::redButtonSelected,
        &ColorPickerController::orangeButtonSelected, &ColorPickerController::yellowButtonSelected,
        &ColorPickerController::greenButtonSelected,  &ColorPickerController::blueButtonSelected,
    };
    for (int tag = 0; tag < kTagCount; ++tag) {
        ColorPickerButton* button = buttonForTag(tag);
        const QString name = tr(kTagNames[tag]);
        button->setObjectName(QStringLiteral("pickButton%1").arg(tag));
        button->setToolTip(name);
        button->setAccessibleName(name);
        button->setImage(ImageLibrary::imageNamed(Utility::imageName(plain, tag)));
        button->setFixedSize(44, 44);
        row->addWidget(button);
        const Action action = actions[tag];
        connect(button, &QPushButton::clicked, this,
                [this, button, action] { (this->*action)(button); });
    }
}

ColorPickerButton* ColorPickerController::buttonForTag(int tag) const {
    switch (tag) {
    case 0:
        return grayButton;
    case 1:
        return redButton;
    case 2:
        return orangeButton;
    case 3:
        return yellowButton;
    case 4:
        return greenButton;
    case 5:
        return blueButton;
    default:
        return nullptr;
    }
}

void ColorPickerController::deselectAll() {
    for (int tag = 0; tag < kTagCount; ++tag) {
        buttonForTag(tag)->setAlphaValue(kDimmed);
    }
}

void ColorPickerController::setSelID(int tag) {
    selectedEmotionID_ = tag;
    deselectAll();
    if (ColorPickerButton* button = buttonForTag(tag)) {
        button->setAlphaValue(1.0);
    }
}

void ColorPickerController::setSelIDfromTab(int tag) {
    if (tag != selectedEmotionID_) {
        setSelID(tag);
    }
    tellDelegateColorPicked();
}

void ColorPickerController::tellDelegateColorPicked() {
    if (delegate_.respondsToColorPicked()) {
        // A copy: the delegate may replace itself while it is being called.
        const auto colorPicked = delegate_.colorPicked;
        colorPicked(QVariant(selectedEmotionID_));
    }
}

void ColorPickerController::hideView(QObject* sender) {
    Q_UNUSED(sender);
    if (delegate_.respondsToPickerFolded()) {
        const auto pickerFolded = delegate_.pickerFolded;
        pickerFolded(this);
    }
}

void ColorPickerController::grayButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(0);
}

void ColorPickerController::redButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(1);
}

void ColorPickerController::orangeButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(2);
}

void ColorPickerController::yellowButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(3);
}

void ColorPickerController::greenButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(4);
}

void ColorPickerController::blueButtonSelected(QObject* sender) {
    Q_UNUSED(sender);
    setSelIDfromTab(5);
}

} // namespace quillet
