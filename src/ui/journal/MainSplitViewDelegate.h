#pragma once

#include "ui/journal/SplitViewDelegate.h"

namespace quillet {

// Keeps the main window's left column 320 wide: the divider cannot be
// dragged, and a resized window only widens or narrows the editor side.
class MainSplitViewDelegate : public SplitViewDelegate {
    Q_OBJECT
public:
    static constexpr double kDividerCoordinate = 320.0;

    explicit MainSplitViewDelegate(QObject* parent = nullptr);

    QWidget* leftView = nullptr;
    QWidget* rightView = nullptr;

    double constrainMaxCoordinate(QSplitter* splitView, double proposedMax,
                                  int dividerIndex) override;
    double constrainMinCoordinate(QSplitter* splitView, double proposedMin,
                                  int dividerIndex) override;
    bool shouldAdjustSizeOfSubview(QSplitter* splitView, QWidget* subview) override;
};

} // namespace quillet
