#include "ui/Popover.h"

#include <QGuiApplication>
#include <QScreen>

namespace quillet {

Popover::Popover(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setFrameShape(QFrame::StyledPanel);
    setObjectName(QStringLiteral("popover"));
}

void Popover::showRelativeToRect(const QRect& rect, QWidget* anchor, Edge edge) {
    adjustSize();
    QPoint origin;
    if (anchor) {
        const QRect global(anchor->mapToGlobal(rect.topLeft()), rect.size());
        switch (edge) {
        case Edge::MaxY:
            origin = QPoint(global.center().x() - width() / 2, global.bottom() + 4);
            break;
        case Edge::MinY:
            origin = QPoint(global.center().x() - width() / 2, global.top() - height() - 4);
            break;
        case Edge::MaxX:
            origin = QPoint(global.right() + 4, global.center().y() - height() / 2);
            break;
        case Edge::MinX:
            origin = QPoint(global.left() - width() - 4, global.center().y() - height() / 2);
            break;
        }
        if (const QScreen* screen = anchor->screen()) {
            const QRect area = screen->availableGeometry();
            origin.setX(
                std::clamp(origin.x(), area.left(), std::max(area.left(), area.right() - width())));
            origin.setY(
                std::clamp(origin.y(), area.top(), std::max(area.top(), area.bottom() - height())));
        }
    }
    move(origin);
    show();
    raise();
}

void Popover::performClose(QObject* sender) {
    Q_UNUSED(sender);
    hide();
}

void Popover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}

} // namespace quillet
