#include "ui/appearance/ColorPickerButton.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quillet {

ColorPickerButton::ColorPickerButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
}

void ColorPickerButton::setImage(const QPixmap& image) {
    image_ = image;
    updateGeometry();
    update();
}

void ColorPickerButton::setAlternateImage(const QPixmap& image) {
    alternateImage_ = image;
    update();
}

qreal ColorPickerButton::alphaValue() const {
    const auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void ColorPickerButton::setAlphaValue(qreal alpha) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

QSize ColorPickerButton::sizeHint() const {
    if (image_.isNull()) {
        return QPushButton::sizeHint();
    }
    return image_.deviceIndependentSize().toSize().expandedTo(QSize(44, 44));
}

void ColorPickerButton::paintEvent(QPaintEvent* event) {
    const QPixmap& shown = isDown() && !alternateImage_.isNull() ? alternateImage_ : image_;
    if (shown.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF size = shown.deviceIndependentSize();
    const QRectF target(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0),
                        size);
    painter.drawPixmap(target, shown, QRectF(shown.rect()));
    if (hasFocus()) {
        // Keyboard users need to see which tag Space would pick.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(target.adjusted(1, 1, -1, -1));
    }
}

} // namespace quillet
