#include "ui/journal/MonthSelectView.h"

#include "ui/journal/PaneFocus.h"

#include <QComboBox>
#include <QKeyEvent>

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

void MonthSelectView::keyPressEvent(QKeyEvent* event) {
    if (isReturnKey(event->key()) && moveFocusTo(entryTableView)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && yearDropDown && yearDropDown->isEnabled()) {
        yearDropDown->showPopup();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void MonthSelectView::enterEvent(QEnterEvent* event) {
    takeFocusOnPointerEntry(this);
    QListView::enterEvent(event);
}

} // namespace quillet
