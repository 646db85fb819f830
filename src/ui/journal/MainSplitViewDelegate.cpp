#include "ui/journal/MainSplitViewDelegate.h"

namespace quillet {

MainSplitViewDelegate::MainSplitViewDelegate(QObject* parent) : SplitViewDelegate(parent) {}

double MainSplitViewDelegate::constrainMaxCoordinate(QSplitter*, double, int) {
    return kDividerCoordinate;
}

double MainSplitViewDelegate::constrainMinCoordinate(QSplitter*, double, int) {
    return kDividerCoordinate;
}

bool MainSplitViewDelegate::shouldAdjustSizeOfSubview(QSplitter*, QWidget* subview) {
    return subview != leftView;
}

} // namespace quillet
