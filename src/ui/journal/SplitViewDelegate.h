#pragma once

#include <QObject>
#include <QPointer>
#include <QSplitter>

namespace quillet {

// What a split view asks of its delegate: where each divider may go and
// which subviews take part when the split view changes size. A QSplitter
// asks nobody, so the delegate watches the splitter it is given: dividers
// are put back within their limits after every move and resize, and
// subviews that must not be resized get no stretch.
class SplitViewDelegate : public QObject {
    Q_OBJECT
public:
    explicit SplitViewDelegate(QObject* parent = nullptr);

    // Divider indexes count from 0 (the divider after the first subview);
    // coordinates are measured from the splitter's left or top edge.
    virtual double constrainMaxCoordinate(QSplitter* splitView, double proposedMax,
                                          int dividerIndex) = 0;
    virtual double constrainMinCoordinate(QSplitter* splitView, double proposedMin,
                                          int dividerIndex) = 0;
    virtual bool shouldAdjustSizeOfSubview(QSplitter* splitView, QWidget* subview) = 0;

    // From now on the splitter honours this delegate. Call it once its
    // subviews are in place.
    void setSplitView(QSplitter* splitView);
    QSplitter* splitView() const { return splitView_; }

    // Puts every divider back within its limits. A subview's own maximum
    // still wins (a panel collapsed on purpose stays collapsed), and the
    // divider returns to its place when that maximum is lifted.
    void constrainDividers();

    // Where divider dividerIndex is now.
    static int dividerCoordinate(QSplitter* splitView, int dividerIndex);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleConstrain();

    QPointer<QSplitter> splitView_;
    bool constraining_ = false;
    bool scheduled_ = false;
};

} // namespace quillet
