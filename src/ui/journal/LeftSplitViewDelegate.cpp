#include "ui/journal/LeftSplitViewDelegate.h"

namespace quillet {

LeftSplitViewDelegate::LeftSplitViewDelegate(QObject* parent) : SplitViewDelegate(parent) {}

double LeftSplitViewDelegate::constrainMaxCoordinate(QSplitter*, double, int) {
    return kDividerCoordinate;
}

double LeftSplitViewDelegate::constrainMinCoordinate(QSplitter*, double, int) {
    return kDividerCoordinate;
}

bool LeftSplitViewDelegate::shouldAdjustSizeOfSubview(QSplitter*, QWidget* subview) {
    return subview != topView;
}

} // namespace quillet
