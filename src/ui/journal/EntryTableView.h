#pragma once

#include <QListView>

namespace quillet {

// The entry list of the selected month (or of a search). Return moves the
// focus into the editor, Escape back to the month grid.
class EntryTableView : public QListView {
    Q_OBJECT
public:
    explicit EntryTableView(QWidget* parent = nullptr);

    QWidget* editTextView = nullptr;
    QWidget* monthSelectView = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
};

} // namespace quillet
