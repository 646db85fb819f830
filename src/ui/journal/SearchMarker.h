#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

namespace quillet {

class EditTextView;

// While a search is typed, gives every match of it on screen in the editor a
// highlight (the search's own rules: case and accents folded), and moves the
// selection to the next or previous match through the whole entry. Only
// what is shown is marked, so a long entry costs what the screen holds.
class SearchMarker : public QObject {
    Q_OBJECT
public:
    using SearchText = std::function<QString()>;
    SearchMarker(EditTextView* editor, SearchText searchText);

    // The search changed: marks anew (after the event being handled).
    void searchChanged();
    // Marks the shown part now (otherwise run by a timer after changes).
    void mark();
    // Selects the next (previous) match after (before) the selection or the
    // caret, wrapping at the end (start); false when there is none.
    bool findNext();
    bool findPrevious();

private:
    void schedule();
    const std::string& needle();

    EditTextView* editor_;
    SearchText searchText_;
    QString search_;
    std::string folded_;
    QTimer pending_;
};

} // namespace quillet
