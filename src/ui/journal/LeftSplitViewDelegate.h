#pragma once

#include "ui/journal/SplitViewDelegate.h"

namespace quillet {

// Keeps the month panel at the top of the left column 137 high; the entry
// list below takes every change of height.
class LeftSplitViewDelegate : public SplitViewDelegate {
    Q_OBJECT
public:
    static constexpr double kDividerCoordinate = 137.0;

    explicit LeftSplitViewDelegate(QObject* parent = nullptr);

    QWidget* topView = nullptr;
    QWidget* bottomView = nullptr;

    double constrainMaxCoordinate(QSplitter* splitView, double proposedMax,
                                  int dividerIndex) override;
    double constrainMinCoordinate(QSplitter* splitView, double proposedMin,
                                  int dividerIndex) override;
    bool shouldAdjustSizeOfSubview(QSplitter* splitView, QWidget* subview) override;
};

} // namespace quillet
