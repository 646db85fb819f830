#include "ui/journal/MonthCellDelegate.h"

#include <QPainter>

namespace quillet {

MonthCellDelegate::MonthCellDelegate(const QColor& accent, const QColor& ink, QObject* parent)
    : QStyledItemDelegate(parent), accent_(accent), ink_(ink) {}

void MonthCellDelegate::setColors(const QColor& accent, const QColor& ink) {
    accent_ = accent;
    ink_ = ink;
}

void MonthCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect cell = option.rect.adjusted(4, 4, -4, -4);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(accent_);
        painter->drawRoundedRect(cell, 7, 7);
    } else if (option.state & QStyle::State_MouseOver) {
        QColor hover = accent_;
        hover.setAlpha(40);
        painter->setPen(Qt::NoPen);
        painter->setBrush(hover);
        painter->drawRoundedRect(cell, 7, 7);
    }
    if (option.state & QStyle::State_HasFocus) {
        QPen ring(accent_.darker(130));
        ring.setWidthF(1.5);
        painter->setPen(ring);
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(cell).adjusted(0.75, 0.75, -0.75, -0.75), 7, 7);
    }
    QFont font = option.font;
    font.setWeight(selected ? QFont::DemiBold : QFont::Normal);
    painter->setFont(font);
    // White on the light themes' deep accents; the dark themes' lifted
    // accents take their dark paper's colour instead.
    const QColor onAccent =
        accent_.lightness() > 150 ? QColor(0x1d, 0x21, 0x25) : QColor(Qt::white);
    painter->setPen(selected ? onAccent : ink_);
    painter->drawText(cell, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize MonthCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    Q_UNUSED(option);
    Q_UNUSED(index);
    return QSize(76, 36);
}

} // namespace quillet
