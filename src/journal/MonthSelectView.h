#pragma once

#include <QListView>

class QComboBox;

namespace quillet {

// The month grid: twelve short month names in three rows of four.
class MonthSelectView : public QListView {
    Q_OBJECT
public:
    explicit MonthSelectView(QWidget* parent = nullptr);

    QWidget* entryTableView = nullptr;
    QComboBox* yearDropDown = nullptr;
};

} // namespace quillet
