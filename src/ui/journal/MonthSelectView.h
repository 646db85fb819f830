#pragma once

#include <QListView>

class QComboBox;

namespace quillet {

// The month grid: twelve short month names in three rows of four. Return
// hands the focus on to the entry list, Escape opens the year list.
class MonthSelectView : public QListView {
    Q_OBJECT
public:
    explicit MonthSelectView(QWidget* parent = nullptr);

    QWidget* entryTableView = nullptr;
    QComboBox* yearDropDown = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
};

} // namespace quillet
