#include "ui/journal/ColorTagSelectView.h"

namespace quillet {

ColorTagSelectView::ColorTagSelectView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("colorTagSelectView"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setIconSize(QSize(44, 22));
    setGridSize(QSize(51, 30));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFixedHeight(34);
}

void ColorTagSelectView::setImages(const std::vector<QPixmap>& images) {
    // New drawings of the same tags (a switch to dark) keep the selection.
    if (std::size_t(count()) == images.size()) {
        for (std::size_t i = 0; i < images.size(); ++i) {
            item(int(i))->setIcon(QIcon(images[i]));
        }
        return;
    }
    clear();
    static const char* const names[] = {QT_TR_NOOP("All colors"), QT_TR_NOOP("Red"),
                                        QT_TR_NOOP("Orange"),     QT_TR_NOOP("Yellow"),
                                        QT_TR_NOOP("Green"),      QT_TR_NOOP("Blue")};
    for (std::size_t i = 0; i < images.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(images[i]), QString(), this);
        const QString name = tr(names[std::min<std::size_t>(i, 5)]);
        item->setToolTip(name);
        item->setData(Qt::AccessibleTextRole, name);
        item->setSizeHint(QSize(51, 30));
    }
}

} // namespace quillet
