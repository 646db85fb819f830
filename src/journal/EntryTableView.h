#pragma once

#include <QListView>

namespace quillet {

// The entry list of the selected month (or of a search).
class EntryTableView : public QListView {
    Q_OBJECT
public:
    explicit EntryTableView(QWidget* parent = nullptr);

    QWidget* editTextView = nullptr;
    QWidget* monthSelectView = nullptr;
};

} // namespace quillet
