#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace quillet {

// Draws a month of the month grid: its short name centred, the selected
// month on a rounded mark in the theme's accent color.
class MonthCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    MonthCellDelegate(const QColor& accent, const QColor& ink, QObject* parent = nullptr);
    void setColors(const QColor& accent, const QColor& ink);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor accent_;
    QColor ink_;
};

} // namespace quillet
