#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;
class QPropertyAnimation;
class QWidget;

namespace quillet {

class ArrayController;
class EditTextView;
class EntryTableView;
class JournalFilter;
class MainWindow;
class ManagedObject;
class Utility;
struct ChangeSet;

// Binds the main window's journal controls to the list's filter and
// selection: the month grid, the year pop-up, the color tag selector and the
// search field; the list view's selection; the editor showing the selected
// entry's text, date and tag; and the hint an empty list shows.
class JournalControls : public QObject {
    Q_OBJECT
public:
    JournalControls(MainWindow* window, JournalFilter* filter, ArrayController* list,
                    Utility* utility, QObject* parent = nullptr);

    // Connects every control; once, after the window is built.
    void connectControls();
    // Also connects the editor's date line and tag images to the selection.
    void connectEditorDecoration();
    // The theme's light or dark variant, as the Utility says; again at each change.
    void applyAppearance();
    // The search text changed: the month panel folds away while searching.
    void updateFilter(QObject* sender);
    // The editor hands every change of its text to its entry at once, so
    // whatever reads the entry (a command, a save, the cloud exchange, a
    // quit) finds what the editor shows. This ends the typing's step to
    // undo; typing until a pause is one step.
    void endEditing();
    // With no entry on screen, the first key typed begins one: make answers
    // it, made for now and listed and selected (null when none can be made).
    void setNewEntryForTyping(std::function<ManagedObject*()> make) {
        newEntryForTyping_ = std::move(make);
    }
    // A change made elsewhere (undo, a merge) to the entry on screen: shown
    // with the caret, the selection and the scroll position kept in place.
    void entryChanged(const ChangeSet& changes);

signals:
    // The editor lost the keyboard: its text is to be saved.
    void didEndEditing();

private:
    QLineEdit* searchField() const;
    EditTextView* editTextView() const;
    EntryTableView* entryTableView() const;
    QWidget* monthPanel() const;
    void setMonthPanelHeight(int height);
    void updateEmptyListHint();
    void selectionToView();
    void bindEditorToSelection();
    void editorContentsChanged(int position, int removed, int added);
    void beginEntryWithTyping();
    void showEntryText();
    // The editor's text, or count characters of it from `from`, as the entry keeps it.
    QString editorText() const;
    QString editorText(int from, int count) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow* window_;
    JournalFilter* filter_;
    ArrayController* arrayController_;
    Utility* utility_;
    ManagedObject* boundEntry_ = nullptr;
    bool loadingEditor_ = false;
    bool committing_ = false;
    bool beginningEntry_ = false;
    // The editor's length as its entry last took it, and whether the entry
    // holds line ends the editor shows otherwise (it then takes the text whole).
    qsizetype shownLength_ = 0;
    bool shownOtherwise_ = false;
    std::function<ManagedObject*()> newEntryForTyping_;
    bool syncingSelection_ = false;
    bool decorated_ = false;
    QPropertyAnimation* monthPanelAnimation_ = nullptr;
    QPointer<QLabel> emptyListHint_;
};

} // namespace quillet
