#pragma once

#include <QSplitter>

namespace quillet {

// The left column's split view: the month panel above the entry list,
// parted by a hairline.
class LeftSplitView : public QSplitter {
    Q_OBJECT
public:
    explicit LeftSplitView(Qt::Orientation orientation, QWidget* parent = nullptr);
    explicit LeftSplitView(QWidget* parent = nullptr);

    double dividerThickness() const { return 1.0; }

protected:
    QSplitterHandle* createHandle() override;
};

} // namespace quillet
