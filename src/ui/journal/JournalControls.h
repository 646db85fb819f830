#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

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
    JournalControls(MainWindow* window, JournalFilter* filter, ArrayController* list, Utility* utility,
                    QObject* parent = nullptr);

    // Connects every control; once, after the window is built.
    void connectControls();
    // Also connects the editor's date line and tag images to the selection.
    void connectEditorDecoration();
    // The search text changed: the month panel folds away while searching.
    void updateFilter(QObject* sender);
    // Hands the editor's text to its entry, so that a save includes it. The
    // entry takes the text here (and when another entry is selected), not at
    // every key: a key costs what it changed, and the typing between two
    // hand-overs is one step to undo.
    void endEditing();
    // The editor holds typing its entry has not taken yet.
    bool hasUncommittedText() const { return editorDirty_; }
    // A change made elsewhere (undo, a merge) to the entry on screen.
    void entryChanged(const ChangeSet& changes);

signals:
    // The editor lost the keyboard: its text is to be saved.
    void didEndEditing();
    // The user changed the editor's text (it is not handed over yet).
    void editorEdited();

private:
    QLineEdit* searchField() const;
    EditTextView* editTextView() const;
    EntryTableView* entryTableView() const;
    QWidget* monthPanel() const;
    void setMonthPanelHeight(int height);
    void updateEmptyListHint();
    void selectionToView();
    void bindEditorToSelection();
    void editorTextChanged();
    void foldEditorTextAhead();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow* window_;
    JournalFilter* filter_;
    ArrayController* arrayController_;
    Utility* utility_;
    ManagedObject* boundEntry_ = nullptr;
    bool loadingEditor_ = false;
    bool editorDirty_ = false;
    bool committing_ = false;
    bool syncingSelection_ = false;
    QPropertyAnimation* monthPanelAnimation_ = nullptr;
    QPointer<QLabel> emptyListHint_;
    QTimer* foldAheadTimer_;
};

} // namespace quillet
