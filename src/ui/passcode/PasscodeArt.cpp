#include "ui/passcode/PasscodeArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quillet {

namespace PasscodeArt {

namespace {
QPixmap canvas(int width, int height, qreal ratio) {
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QPixmap pinBoxImage(qreal devicePixelRatio) {
    QPixmap pixmap = canvas(kBoxWidth, kBoxHeight, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF well(1.5, 1.5, kBoxWidth - 3.0, kBoxHeight - 4.0);
    // A faint lower edge reads as the box sitting on the surface.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawRoundedRect(well.translated(0, 1.5), 8, 8);
    QLinearGradient fill(well.topLeft(), well.bottomLeft());
    fill.setColorAt(0.0, QColor(0xf1, 0xf1, 0xf1));
    fill.setColorAt(0.18, QColor(0xfd, 0xfd, 0xfd));
    fill.setColorAt(1.0, QColor(0xff, 0xff, 0xff));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0xb9, 0xb9, 0xb9), 1.0));
    p.drawRoundedRect(well, 8, 8);
    return pixmap;
}

QPixmap padlockImage(int height, const QColor& color, bool open, qreal devicePixelRatio) {
    const int width = height * 4 / 5;
    QPixmap pixmap = canvas(width, height, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal stroke = height / 9.0;
    const QRectF body(0.5, height * 0.45, width - 1.0, height * 0.55 - 0.5);
    const qreal shackleWidth = width * 0.62;
    QRectF shackle((width - shackleWidth) / 2, stroke / 2 + 0.5, shackleWidth, height * 0.62);
    if (open) {
        shackle.translate(0, -height * 0.08);
    }
    p.setPen(QPen(color, stroke, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath arch;
    arch.moveTo(shackle.left(), body.top() + (open ? -height * 0.12 : 0));
    arch.lineTo(shackle.left(), shackle.top() + shackle.width() / 2);
    arch.arcTo(QRectF(shackle.left(), shackle.top(), shackle.width(), shackle.width()), 180, -180);
    arch.lineTo(shackle.right(), body.top());
    p.drawPath(arch);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(body, height / 10.0, height / 10.0);
    // The keyhole, cut out of the body.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    const QPointF hole(width / 2.0, body.center().y() - body.height() * 0.08);
    p.drawEllipse(hole, stroke * 0.62, stroke * 0.62);
    p.drawRect(QRectF(hole.x() - stroke * 0.28, hole.y(), stroke * 0.56, body.height() * 0.3));
    return pixmap;
}

} // namespace PasscodeArt

PasscodeCard::PasscodeCard(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void PasscodeCard::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(8, 6, -8, -12);
    // A shadow in a few widening, fading rings: cheap and soft enough.
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(QColor(40, 30, 20, 5 + (6 - i) * 2));
        p.drawRoundedRect(card.adjusted(-i, -i + 3, i, i + 3), 14 + i, 14 + i);
    }
    p.setBrush(QColor(255, 255, 255, 236));
    p.setPen(QPen(QColor(0, 0, 0, 30), 1.0));
    p.drawRoundedRect(card, 14, 14);
}

} // namespace quillet
