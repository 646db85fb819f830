#include "ui/journal/LeftSplitView.h"

#include <QPainter>
#include <QSplitterHandle>

namespace quillet {

namespace {
// The style's handle would draw a grip; a one-pixel divider is just a line.
class HairlineHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Mid));
    }
};
} // namespace

LeftSplitView::LeftSplitView(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(int(dividerThickness()));
}

LeftSplitView::LeftSplitView(QWidget* parent) : LeftSplitView(Qt::Vertical, parent) {}

QSplitterHandle* LeftSplitView::createHandle() {
    return new HairlineHandle(orientation(), this);
}

} // namespace quillet
