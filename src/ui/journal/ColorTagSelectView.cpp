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
    clear();
    static const char* const names[] = {"All colors", "Red", "Orange", "Yellow", "Green", "Blue"};
    for (std::size_t i = 0; i < images.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(images[i]), QString(), this);
        const QString name = tr(names[std::min<std::size_t>(i, 5)]);
        item->setToolTip(name);
        item->setData(Qt::AccessibleTextRole, name);
        item->setSizeHint(QSize(51, 30));
    }
}

} // namespace quillet
