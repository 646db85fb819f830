#include "ui/journal/SplitViewDelegate.h"

#include <QEvent>
#include <QSplitter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace quillet {

SplitViewDelegate::SplitViewDelegate(QObject* parent) : QObject(parent) {}

void SplitViewDelegate::setSplitView(QSplitter* splitView) {
    if (splitView_) {
        splitView_->removeEventFilter(this);
        disconnect(splitView_, nullptr, this, nullptr);
    }
    splitView_ = splitView;
    if (!splitView) {
        return;
    }
    for (int i = 0; i < splitView->count(); ++i) {
        QWidget* subview = splitView->widget(i);
        const bool adjusts = shouldAdjustSizeOfSubview(splitView, subview);
        splitView->setStretchFactor(i, adjusts ? 1 : 0);
        if (!adjusts) {
            // Its size is the delegate's to give: a minimum of its own would
            // otherwise leave a gap while it is collapsed below that minimum.
            QSizePolicy policy = subview->sizePolicy();
            if (splitView->orientation() == Qt::Horizontal) {
                policy.setHorizontalPolicy(QSizePolicy::Ignored);
            } else {
                policy.setVerticalPolicy(QSizePolicy::Ignored);
            }
            subview->setSizePolicy(policy);
        }
    }
    connect(splitView, &QSplitter::splitterMoved, this, [this] { constrainDividers(); });
    splitView->installEventFilter(this);
    constrainDividers();
}

int SplitViewDelegate::dividerCoordinate(QSplitter* splitView, int dividerIndex) {
    const QList<int> sizes = splitView->sizes();
    int coordinate = 0;
    for (int i = 0; i <= dividerIndex && i < sizes.size(); ++i) {
        coordinate += sizes[i];
        if (i > 0) {
            coordinate += splitView->handleWidth();
        }
    }
    return coordinate;
}

void SplitViewDelegate::constrainDividers() {
    QSplitter* split = splitView_;
    if (!split || constraining_ || split->count() < 2) {
        return;
    }
    constraining_ = true;
    QList<int> sizes = split->sizes();
    const int handle = split->handleWidth();
    bool changed = false;
    int start = 0; // where the subview before the divider begins
    for (int divider = 0; divider + 1 < sizes.size(); ++divider) {
        // The divider may go anywhere across the two subviews it separates.
        const int pairEnd = start + sizes[divider] + handle + sizes[divider + 1];
        const double lowest = constrainMinCoordinate(split, double(start), divider);
        const double highest = constrainMaxCoordinate(split, double(pairEnd - handle), divider);
        const int current = start + sizes[divider];
        const int wanted =
            int(std::lround(std::clamp(double(current), lowest, std::max(lowest, highest))));
        const QSize largest = split->widget(divider)->maximumSize();
        const int maximum =
            split->orientation() == Qt::Horizontal ? largest.width() : largest.height();
        const int before =
            std::clamp(wanted - start, 0, std::min(maximum, sizes[divider] + sizes[divider + 1]));
        if (before != sizes[divider]) {
            sizes[divider + 1] += sizes[divider] - before;
            sizes[divider] = before;
            changed = true;
        }
        if (QWidget* grip = split->handle(divider + 1); grip && lowest == highest) {
            // A divider that cannot move does not offer itself for dragging.
            grip->setCursor(Qt::ArrowCursor);
        }
        start += sizes[divider] + handle;
    }
    if (changed) {
        split->setSizes(sizes);
    }
    constraining_ = false;
}

void SplitViewDelegate::scheduleConstrain() {
    if (scheduled_) {
        return;
    }
    scheduled_ = true;
    // After the splitter has laid itself out for the event.
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        constrainDividers();
    });
}

bool SplitViewDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == splitView_) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::LayoutRequest:
            scheduleConstrain();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillet
