#pragma once

#include "core/DateComponents.h"
#include "core/Error.h"
#include "core/IndexSet.h"
#include "core/Notification.h"
#include "store/Predicate.h"
#include "store/SortDescriptor.h"

#include <QObject>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class QApplication;
class QLineEdit;
class QComboBox;
class QWidget;
class QDateTimeEdit;

namespace quillet {

class ArrayController;
class DiaryStore;
class EntryCommands;
class ImportDialog;
class AppearanceWatcher;
class JournalControls;
class JournalFilter;
class EditTextView;
class EntryTableView;
class MainWindow;
class MigrationStatusRecorder;
class ManagedObject;
class ManagedObjectContext;
class ManagedObjectModel;
class SaveScheduler;
class MonthSelectView;
class PasscodeView;
class PersistentStoreCoordinator;
class Popover;
class SettingWindowController;
class ThemeColorPickerController;
class UndoManager;
class Utility;
class ViewRouter;

// The application delegate: builds the diary's objects and hands each what
// it needs, and answers the window's and application's life-cycle messages.
// Which view fills the main window is ViewRouter's, the connections of the
// window's controls ActionWiring's; the store, the list's filter and the
// editing commands are diary classes. The operations of the same names here
// forward to them.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // Loads the main window, runs the launch sequence and the event loop.
    static int applicationMain(QApplication& app);
    // Builds the windows and connects the outlets (what the interface file does).
    void loadInterface();

    // ---- Launch, routing and life cycle
    void applicationDidFinishLaunching();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    // Every way of quitting comes here: ends editing and saves first. False
    // (and the application stays) when the save failed.
    bool applicationShouldTerminate();
    // Quitting that no one can answer (a signal): saves what can be saved
    // and asks nothing, whatever the outcome.
    void terminateWithoutQuestions();
    void windowDidBecomeKey();
    // The main window lost the keyboard to another window: an automatic save.
    void windowDidResignKey();
    // The main window is closing: false keeps it open (the save failed).
    bool windowWillClose();
    // While the lock screen shows, every menu item of the delegate is disabled.
    bool validateMenuItem() const;
    // Ends the editor's step of typing to undo (its entry holds the text).
    void endEditing();

    void decideWhichViewToShow();
    void showPasscodeView();
    void showMainView();
    void showAskCloudView();
    void showICloudDisabledView();
    void registerCustomValueTransformer();
    void importOldDataIfNeed();
    void passcodeValid(const Notification& note);
    void fontChanged(const Notification& note);
    void useCloudNow(QObject* sender);
    void useCloudLater(QObject* sender);
    void showSettingWindow(QObject* sender);
    void moveLocalStoreToICloud();
    // The cloud folder is sealed: asks for what it needs (a new passphrase
    // at the move, the diary's one on another machine). False when cancelled.
    bool askCloudPassphrase(bool moving);
    Utility* utility();

    bool passcodeValidatedOnCurrentSession() const { return passcodeValidatedOnCurrentSession_; }
    QString currentSessionID() const { return currentSessionID_; }

    // ---- Store
    DiaryStore* diaryStore() const { return store_; }
    std::shared_ptr<ManagedObjectModel> managedObjectModel();
    PersistentStoreCoordinator* persistentStoreCoordinator();
    ManagedObjectContext* managedObjectContext();
    void insertNewObject(QObject* sender);
    void saveAction(QObject* sender);
    // Saves the context if it has changes; presents a failure. True when
    // nothing is left unsaved.
    bool flushUnsavedChanges();
    void textDidEndEditing();
    // The automatic save: the editor's text and every pending change, without
    // waiting for the disk (a crash of the application loses none of it).
    // Runs a short pause after typing or a command, at most every few
    // seconds while the changes go on, and when the window or the editor
    // loses the keyboard.
    bool autosave();
    SaveScheduler* saveScheduler() const { return saveScheduler_; }
    UndoManager* windowWillReturnUndoManager();
    void mergeChangesFromCloud(const Notification& note);
    void mergeiCloudChanges(const QVariantMap& userInfo, ManagedObjectContext* context);

    // ---- Entry filter and ordering
    DateComponents currentMonth();
    void setCurrentMonth(const std::optional<DateComponents>& month);
    std::optional<int> colorFilter() const;
    void setColorFilter(std::optional<int> filter);
    QString currPredicateFormat();
    Predicate currPredicate();
    const std::vector<SortDescriptor>& currSortDescriptors();
    void reloadData();
    void workaround_AvoidEmptySelection();
    void updateFilter(QObject* sender);

    // ---- Month and year selection (observable: every setter call notifies)
    IndexSet monthSelectionIndexs();
    void setMonthSelectionIndexs(const std::optional<IndexSet>& indexes);
    int yearSelectionIndex();
    void setYearSelectionIndex(int index);
    IndexSet colorTagSelectionIndexs();
    void setColorTagSelectionIndexs(const std::optional<IndexSet>& indexes);
    void currentMonth(QObject* sender);
    void nextYear(QObject* sender);
    void prevYear(QObject* sender);
    void nextMonth(QObject* sender);
    void prevMonth(QObject* sender);
    void yearPopupValueChanged(QObject* sender);
    void initMonthPanelSelection();

    // ---- Entry editing commands
    void showTrashConfirmPopover(QWidget* sender);
    void popoverConfirmTrash(QObject* sender);
    void popoverCancelTrash(QObject* sender);
    void removeEntry(QObject* sender);
    void showTagEditConfirmPopover(QWidget* sender);
    void colorPicked(const QVariant& tag);
    void popoverCancelTagEdit(QObject* sender);
    void showDateEditPopover(QWidget* sender);
    void popoverConfirmDateEdit(QObject* sender);
    void popoverCancelDateEdit(QObject* sender);
    void selectObjectAsUuid(const QString& uuid);
    void updateDateValue_workaround(QObject* sender);
    void focusSearch(QObject* sender);
    void exportToTextAndPreview(QObject* sender);
    // File > Import… (with a path: the command line's handover, started at
    // once), File > Export… and File > Print… of the listed entries.
    void showImportDialog(const QString& path = QString());
    // The command line's import handed to this window: empty when taken, otherwise why not.
    QString takeImportFromCommandLine(const QString& path);
    void exportEntries(QObject* sender);
    void printEntries(QObject* sender);

    // ---- Outlets
    MainWindow* window() const { return window_; }
    ArrayController* arrayController() const { return arrayController_; }
    QLineEdit* searchField() const;
    EditTextView* editTextView() const;
    EntryTableView* entryTableView() const;
    MonthSelectView* monthSelectView() const;
    QComboBox* yearPopUp() const;
    QWidget* monthPanel() const;
    QWidget* leftButtomView() const;
    QWidget* mainView() const;
    PasscodeView* passcodeView() const;
    QWidget* askIfUseICloudView() const;
    QWidget* cloudDisabledBlockerView() const;
    Popover* trashPopover() const;
    Popover* tagPopover() const;
    Popover* datePopover() const;
    QDateTimeEdit* datePopoverDatePicker() const;
    ThemeColorPickerController* colorPicker() const;
    // Built when first asked for (the first screen does not show it).
    SettingWindowController* settingWindowController();
    bool hasSettingWindow() const { return settingWindowController_ != nullptr; }

signals:
    void monthSelectionIndexsChanged();
    void yearSelectionIndexChanged();
    void colorTagSelectionIndexsChanged();

private:
    // The window's size, place and splits, for the next launch.
    void rememberWindowPlace();
    void connectJournalControls();
    void installEntryRowDelegate();
    // A new entry for now, listed and selected whatever the list showed.
    ManagedObject* newVisibleEntry();
    // The diary file went away under the window: offers to save the edits to
    // a new file. True when nothing is left unsaved or, quitting, the user
    // chose to quit without saving.
    bool offerToSaveToNewFile(bool quitting);
    bool lostFileOfferPending_ = false;

    bool passcodeValidatedOnCurrentSession_ = false;
    MainWindow* window_ = nullptr;
    DiaryStore* store_ = nullptr;
    SaveScheduler* saveScheduler_ = nullptr;
    JournalFilter* filter_ = nullptr;
    std::unique_ptr<EntryCommands> commands_;
    ArrayController* arrayController_ = nullptr;
    Utility* utility_ = nullptr;
    SettingWindowController* settingWindowController_ = nullptr;
    // What the settings window's migration pane missed before it was built.
    std::unique_ptr<MigrationStatusRecorder> migrationStatus_;
    QString currentSessionID_;
    AppearanceWatcher* appearance_ = nullptr;
    JournalControls* controls_ = nullptr;
    std::unique_ptr<ViewRouter> router_;
    ImportDialog* importDialog_ = nullptr;
};

} // namespace quillet
