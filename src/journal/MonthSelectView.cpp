#include "journal/MonthSelectView.h"

namespace quillet {

MonthSelectView::MonthSelectView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("monthSelectView"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setGridSize(QSize(76, 38));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

} // namespace quillet
