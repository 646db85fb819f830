#include "ui/journal/EntryTableView.h"

#include "ui/journal/PaneFocus.h"

#include <QKeyEvent>

namespace quillet {

EntryTableView::EntryTableView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("entryTableView"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void EntryTableView::keyPressEvent(QKeyEvent* event) {
    if ((isReturnKey(event->key()) && moveFocusTo(editTextView)) ||
        (event->key() == Qt::Key_Escape && moveFocusTo(monthSelectView))) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void EntryTableView::enterEvent(QEnterEvent* event) {
    takeFocusOnPointerEntry(this);
    QListView::enterEvent(event);
}

} // namespace quillet
