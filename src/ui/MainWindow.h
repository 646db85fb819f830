#pragma once

#include <QMainWindow>
#include <functional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSplitter;
class QToolButton;

namespace quillet {

class ColorTagSelectView;
class EditTextView;
class EntryTableView;
class JournalPopovers;
class MonthSelectView;
class PasscodeView;
class LinkMarker;
class SearchMarker;
class SpellChecker;
class SpellMarker;
class StatusLabel;
class MessageBar;
class Utility;

// The main window's layout: toolbar, menus and the four views that take
// turns in its content (the journal, the lock screen, the cloud question and
// the cloud blocker). Its members are the outlets the application delegate
// connects to; it holds no diary logic of its own.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The editor, the lock screen and the popovers get utility.
    explicit MainWindow(Utility* utility, QWidget* parent = nullptr);

    // Asked when the window is about to close; false keeps it open.
    std::function<bool()> shouldClose;
    // Called whenever the window becomes the active (key) window.
    std::function<void()> didBecomeKey;
    // Called whenever the window stops being the active window.
    std::function<void()> didResignKey;

    // Menu and toolbar actions that the application delegate answers.
    QAction* newEntryAction;
    QAction* saveAction;
    QAction* exportAction;
    // Other diaries in, the listed entries out as Markdown, JSON or PDF, and on paper.
    QAction* importAction;
    QAction* exportEntriesAction;
    QAction* printAction;
    QAction* settingsAction;
    QAction* closeAction;
    QAction* quitAction;
    QAction* undoAction;
    QAction* redoAction;
    QAction* findAction;
    QAction* findNextAction;
    QAction* findPreviousAction;
    QAction* trashAction;
    QAction* tagAction;
    QAction* dateAction;
    QAction* todayAction;
    QAction* prevMonthAction;
    QAction* nextMonthAction;
    QAction* prevYearAction;
    QAction* nextYearAction;
    QAction* fontAction;
    // Format > Spelling: the language and the switch of the editor's checking.
    QMenu* spellingMenu;
    QAction* toolbarToggleAction;
    // The text commands, acting on the focused text field.
    QAction* cutAction;
    QAction* copyAction;
    QAction* pasteAction;
    QAction* selectAllAction;
    QAction* guideAction;
    QAction* shortcutsAction;
    QAction* aboutAction;
    // Runs fn once the window's first paint is done (queued, at once, if it
    // is): what the first screen does not need waits until then.
    void afterFirstPaint(std::function<void()> fn);
    bool hasPainted() const { return painted_; }

    QList<QAction*> delegateActions() const;
    // Every command of the menu bar, in menu order (for the shortcut list).
    QList<QAction*> menuActions() const;

    QToolBar* toolbar;
    QToolButton* trashButton;
    QToolButton* tagButton;
    QToolButton* dateButton;

    QWidget* content;
    QSplitter* mainView;
    QSplitter* leftSplitView;
    QWidget* monthPanel;
    QComboBox* yearPopUp;
    QToolButton* prevYearButton;
    QToolButton* nextYearButton;
    MonthSelectView* monthSelectView;
    QWidget* leftButtomView;
    ColorTagSelectView* colorTagSelectView;
    QLineEdit* searchField;
    EntryTableView* entryTableView;
    // Shown while an import of the previous generation's diary runs.
    StatusLabel* statusLabel;
    QWidget* editorPanel;
    // Failures that need no answer, above the date, out of the keyboard's way.
    MessageBar* messageBar;
    QLabel* dateLabel;
    EditTextView* editTextView;
    SpellMarker* spellMarker;
    // The matches of the search in the editor, F3 and Shift+F3.
    SearchMarker* searchMarker;
    LinkMarker* linkMarker;
    QSlider* fontSlider;
    QLabel* footLabel;

    PasscodeView* passcodeView;
    QWidget* askIfUseICloudView;
    QPushButton* useCloudNowButton;
    QPushButton* useCloudLaterButton;
    QWidget* cloudDisabledBlockerView;

    // The journal's popovers, built when first asked for: the first screen
    // shows none of them, and building them would delay its paint.
    JournalPopovers* popovers();
    bool hasPopovers() const { return popovers_ != nullptr; }
    // Called once, as soon as the popovers are built, to connect their buttons.
    std::function<void(JournalPopovers*)> didBuildPopovers;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Utility* utility_;
    JournalPopovers* popovers_ = nullptr;
    bool painted_ = false;
    std::vector<std::function<void()>> afterFirstPaint_;
    void runAfterFirstPaint();
    void buildMenus();
    void editFocusedField(const std::function<void(QLineEdit*)>& line,
                          const std::function<void(QPlainTextEdit*)>& text);
    QWidget* buildJournal();
    void nameControls();
    QWidget* buildCloudQuestion();
    QWidget* buildCloudBlocker();
};

} // namespace quillet
