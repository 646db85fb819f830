#include "journal/EntryTableView.h"

namespace quillet {

EntryTableView::EntryTableView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("entryTableView"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace quillet
