#pragma once

#include <QPlainTextEdit>

class QSlider;

namespace quillet {

class Utility;

// The entry editor: the selected entry's text in one font. Leaving it ends
// editing, which saves the diary.
class EditTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditTextView(QWidget* parent = nullptr);

    QSlider* fontSlider = nullptr;
    Utility* utility = nullptr;
    QWidget* entryTableView = nullptr;

signals:
    void didEndEditing();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace quillet
