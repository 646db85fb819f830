// Launch and life cycle of the application delegate: the objects it builds
// and hands on, the launch sequence, and every way of closing and quitting.
// The window's connections are ActionWiring's, the choice of view ViewRouter's.
#include "app/AppDelegate.h"

#include "app/ActionWiring.h"
#include "app/InstanceHandover.h"
#include "app/ListReport.h"
#include "app/TerminationSignalWatcher.h"
#include "app/ViewRouter.h"
#include "core/Alerts.h"
#include "core/Application.h"
#include "core/Bundle.h"
#include "core/Error.h"
#include "core/LaunchProbe.h"
#include "core/Log.h"
#include "core/NotificationCenter.h"
#include "core/StandardPaths.h"
#include "diary/DiaryStore.h"
#include "diary/Edition.h"
#include "diary/SaveScheduler.h"
#include "diary/Utility.h"
#include "diary/cloud/CloudSealing.h"
#include "diary/import/OldDataImporter.h"
#include "diary/journal/EntryCommands.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/cloud/ContainerKey.h"
#include "ui/JournalPopovers.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxAlertPresenter.h"
#include "ui/WindowPlace.h"
#include "ui/appearance/AppearanceWatcher.h"
#include "ui/appearance/InstalledFonts.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/JournalControls.h"
#include "ui/passcode/PasscodeView.h"
#include "ui/settings/CloudSettingView.h"
#include "ui/settings/MigrateSettingView.h"
#include "ui/settings/PassphraseDialog.h"
#include "ui/settings/SettingWindowController.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QSessionManager>
#include <QSplitter>
#include <QTimer>

#include <cstdio>

namespace quillet {

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent), migrationStatus_(std::make_unique<MigrationStatusRecorder>()) {
    Utility* services = utility();
    // The settings keep a font's name; the installed fonts say which font that is.
    services->setFontLookup(installedFontWithName);
    store_ = new DiaryStore(&services->storeLocations(), this, this);
    saveScheduler_ = new SaveScheduler(this);
    connect(saveScheduler_, &SaveScheduler::saveDue, this, [this] { autosave(); });
    // Told from inside a save (typing, a command): asked once that is over.
    store_->setFileLostHandler([this](const Error&) {
        lostFileOfferPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (lostFileOfferPending_) {
                    offerToSaveToNewFile(false);
                }
            },
            Qt::QueuedConnection);
    });
    connect(store_, &DiaryStore::contextCreated, this, [this](ManagedObjectContext* context) {
        connect(context, &ManagedObjectContext::objectsDidChange, this,
                [this](const ChangeSet& changes) {
                    if (controls_) {
                        controls_->entryChanged(changes);
                    }
                    // A command's change (a tag, a date, a removal) is saved without
                    // the user asking, as typing is.
                    saveScheduler_->noteChange();
                });
        if (arrayController_) {
            arrayController_->setManagedObjectContext(context);
        }
        // The rest of a large diary: listed now, and something selected if
        // the list was empty until then.
        connect(context, &ManagedObjectContext::rowsArrived, this, [this] {
            if (arrayController_) {
                arrayController_->processPendingChanges();
                workaround_AvoidEmptySelection();
            }
        });
    });
    const auto monthTag = [services](const QDateTime& date) {
        return services->monthTagForDate(date);
    };
    filter_ = new JournalFilter(
        nullptr, monthTag, [this] { return window_ ? window_->searchField->text() : QString(); },
        this);
    connect(filter_, &JournalFilter::monthSelectionIndexsChanged, this,
            &AppDelegate::monthSelectionIndexsChanged);
    connect(filter_, &JournalFilter::yearSelectionIndexChanged, this,
            &AppDelegate::yearSelectionIndexChanged);
    connect(filter_, &JournalFilter::colorTagSelectionIndexsChanged, this,
            &AppDelegate::colorTagSelectionIndexsChanged);
}

AppDelegate::~AppDelegate() {
    delete settingWindowController_;
    delete window_;
}

int AppDelegate::applicationMain(QApplication& app) {
    static MessageBoxAlertPresenter presenter;
    Alerts::setPresenter(&presenter);
    Application::setModalSessionQuery([] { return QApplication::activeModalWidget() != nullptr; });
    // Closing the main window quits through windowWillClose, which saves first.
    app.setQuitOnLastWindowClosed(false);

    // One window per diary: a second launch raises the first and leaves.
    const QString handoverName = InstanceHandover::serverName(
        Bundle::mainBundle().bundleName(), StandardPaths::dataHome(),
        qEnvironmentVariable("XDG_RUNTIME_DIR"), StandardPaths::cacheHome());
    if (InstanceHandover::handOver(handoverName)) {
        std::fprintf(stderr, "%s is already open on this diary: its window was raised.\n",
                     qPrintable(QApplication::applicationName()));
        Alerts::setPresenter(nullptr);
        return 0;
    }
    InstanceHandover handover;
    handover.listen(handoverName);

    AppDelegate delegate;
    Application::setTerminateHandler([&delegate] {
        QMetaObject::invokeMethod(
            &delegate, [] { QApplication::exit(0); }, Qt::QueuedConnection);
    });
    delegate.loadInterface();
    if (delegate.diaryStore()->openError().code == StoreInUseError) {
        // Another process holds the diary and did not take the handover: its
        // alert was shown once; an empty window would only look like lost data.
        Alerts::setPresenter(nullptr);
        return 1;
    }
    // A diary in the cloud folder on a machine that has no key for it yet.
    if (delegate.utility()->isICloudStoreExist()) {
        QTimer::singleShot(500, &delegate, [&delegate] { delegate.askCloudPassphrase(false); });
    }
    handover.importHandler = [&delegate](const QString& path) {
        return delegate.takeImportFromCommandLine(path);
    };
    QObject::connect(&handover, &InstanceHandover::raiseRequested, &delegate, [&delegate] {
        MainWindow* window = delegate.window();
        window->showNormal();
        window->raise();
        window->activateWindow();
    });

    // Asked to end from outside (SIGTERM, SIGHUP, Ctrl+C): nobody is there to
    // answer, so nothing is asked; what can be saved is saved, failures go to
    // the log, and the application ends, within the deadline whatever else
    // holds it (an alert's own loop is ended with the others).
    TerminationSignalWatcher watcher(nullptr, 4);
    QObject::connect(&watcher, &TerminationSignalWatcher::terminationRequested, &delegate,
                     [&delegate] {
                         Alerts::setPresenter(nullptr);
                         delegate.terminateWithoutQuestions();
                         QApplication::exit(0);
                     });
    // The desktop session ending: save, and ask it to wait if that failed.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &delegate,
                     [&delegate](QSessionManager& manager) {
                         if (!delegate.applicationShouldTerminate()) {
                             manager.cancel();
                         }
                     });

    // For tools/launch-time.
    if (qEnvironmentVariableIntValue("QUILLET_EXIT_AFTER_FIRST_PAINT") == 1) {
        delegate.window()->installEventFilter(new LaunchProbe(
            [&delegate] {
                return !delegate.diaryStore()->hasStore() ||
                       delegate.diaryStore()->managedObjectContext()->hasAllRecords();
            },
            &delegate));
    }
    if (const QString report = qEnvironmentVariable("QUILLET_LIST_REPORT"); !report.isEmpty()) {
        new ListReport(
            delegate.window()->entryTableView,
            [&delegate] {
                return delegate.currPredicate().requiredInteger(QStringLiteral("monthTag"));
            },
            report, &delegate);
    }
    // The icon's images wait for the first paint. They are the application's
    // own, as installed in the hicolor theme: looking the theme up first
    // (QIcon::fromTheme) would cost some 5 ms of the window's first moments
    // to find the same images. Named as the desktop file is.
    delegate.window()->afterFirstPaint([] {
        const QString name = QGuiApplication::desktopFileName();
        QIcon own;
        for (const char* size : {"64", "256"})
            own.addFile(QStringLiteral(":/icons/%1/%2.png").arg(QLatin1String(size), name));
        QApplication::setWindowIcon(own);
    });
    delegate.window()->show();
    delegate.applicationDidFinishLaunching();
    const int result = app.exec();
    Alerts::setPresenter(nullptr);
    return result;
}

Utility* AppDelegate::utility() {
    if (!utility_) {
        utility_ = Utility::sharedUtility();
    }
    return utility_;
}

void AppDelegate::loadInterface() {
    // Light or dark is known before the first view takes its colours.
    appearance_ = new AppearanceWatcher(utility(), true, this);
    window_ = new MainWindow(utility());
    window_->setWindowTitle(utility()->edition().displayName());
    arrayController_ = new ArrayController(this);
    filter_->setArrayController(arrayController_);
    commands_ = std::make_unique<EntryCommands>(
        arrayController_, filter_,
        EntryCommands::Services{
            [this](const QDateTime& date) { return utility()->monthTagForDate(date); },
            [this] { return utility()->createUUID(); }});
    arrayController_->setSortDescriptors(currSortDescriptors());
    window_->entryTableView->setModel(arrayController_);
    installEntryRowDelegate();

    router_ = std::make_unique<ViewRouter>(window_, utility());
    ActionWiring::connectWindow(this, window_);
    connectJournalControls();

    // The list starts out filtered as the first reload will filter it, so
    // that it never takes in a whole large diary unfiltered.
    const Predicate first = currPredicate();
    arrayController_->setFilterPredicate(first);
    // A large diary gives the first screen's month at once and the rest after the first paint.
    if (const std::optional<qint64> month = first.requiredInteger(QStringLiteral("monthTag"))) {
        store_->setFirstMonthTag(int(*month));
    }
    // The list's bindings ask for the context while the interface loads, which opens the store.
    managedObjectContext();
    WindowPlace::restore(*window_, *utility()->userDefalts());
}

// ---- Launch

void AppDelegate::applicationDidFinishLaunching() {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    // The observers outlive a delegate that is destroyed before the process ends (tests make many).
    const QPointer<AppDelegate> self(this);
    center.addObserver(QStringLiteral("PasscodeValid"), nullptr, [self](const Notification& note) {
        if (self)
            self->passcodeValid(note);
    });
    center.addObserver(QStringLiteral("fontChanged"), nullptr, [self](const Notification& note) {
        if (self)
            self->fontChanged(note);
    });
    passcodeValidatedOnCurrentSession_ = false;
    if (utility()->isICloudEnabled()) {
        currentSessionID_ = utility()->createUUID();
        utility()->setSessionID(currentSessionID_);
    }
    registerCustomValueTransformer();
    initMonthPanelSelection();
    if (utility()->applicationModel() == 1) {
        importOldDataIfNeed();
    }
    controls_->connectEditorDecoration();
    decideWhichViewToShow();
    // Once the first entry is in the editor (the first month is read before this returns).
    QTimer::singleShot(0, this, [self] {
        if (self && self->arrayController_) {
            const ManagedObject* shown = self->arrayController_->selectedObject();
            WindowPlace::restoreEditorScroll(*self->window_, shown ? shown->uuid() : QString(),
                                             *self->utility()->userDefalts());
        }
    });
}

void AppDelegate::importOldDataIfNeed() {
    if (!utility()->isOldDataExist() || utility()->isOldDataImported()) {
        return;
    }
    // "isOldDataImported" is set by the importer once an import has ended
    // with every entry saved; one that failed or was cut short by a kill runs
    // again at the next launch, and the identifier check keeps it from
    // doubling anything.
    // Once the imported entries are listed, the first is selected, as at any launch.
    const QPointer<AppDelegate> self(this);
    for (const QString& name : {QString(kOldDataDidImportSucess), QString(kOldDataDidImportFail)}) {
        NotificationCenter::defaultCenter().addObserver(name, nullptr, [self](const Notification&) {
            if (!self) {
                return;
            }
            QMetaObject::invokeMethod(
                self.data(),
                [self] {
                    if (self && self->arrayController_) {
                        self->arrayController_->processPendingChanges();
                        self->workaround_AvoidEmptySelection();
                    }
                },
                Qt::QueuedConnection);
        });
    }
    OldDataImporter::sharedImporter()->asyncImportWithManagedObjectContext(managedObjectContext());
    Log::write(QStringLiteral("Try Import Old Data"));
}

bool AppDelegate::askCloudPassphrase(bool moving) {
    const QString container = utility()->cloudContainerURL();
    CloudSealing::prepare(container);
    std::optional<QString> passphrase;
    switch (CloudSealing::need(container)) {
    case CloudSealing::Need::Nothing:
        return true;
    case CloudSealing::Need::NewPassphrase:
        passphrase = PassphraseDialog::choose(
            window_, tr("Everything the diary writes to the cloud folder is encrypted under a "
                        "passphrase. Choose it now; each of your other machines asks for it once. "
                        "It cannot be recovered."));
        break;
    case CloudSealing::Need::Passphrase:
        passphrase = PassphraseDialog::enter(
            window_, moving ? tr("The cloud folder is sealed. Enter the passphrase chosen for it "
                                 "on your other machine.")
                            : tr("Enter the cloud folder's passphrase to exchange changes with "
                                 "your other machines. Without it this diary stays as it is."));
        break;
    }
    if (!passphrase) {
        return false;
    }
    cloud::ContainerKey::forContainer(container)->offerPassphrase(*passphrase);
    return true;
}

void AppDelegate::moveLocalStoreToICloud() {
    if (utility()->isICloudEnabled() && !askCloudPassphrase(true)) {
        Log::write(QStringLiteral("The move into the cloud folder waits for a passphrase."));
        return;
    }
    if (!store_->moveLocalStoreToICloud()) {
        return; // signed out: nothing was tried
    }
    utility()->setCanMoveLocalStoreToICloud(false);
}

// ---- Routing

void AppDelegate::decideWhichViewToShow() {
    router_->decideWhichViewToShow(passcodeValidatedOnCurrentSession_);
}
void AppDelegate::showPasscodeView() {
    router_->showPasscodeView();
}
void AppDelegate::showMainView() {
    router_->showMainView();
}
void AppDelegate::showAskCloudView() {
    router_->showAskCloudView();
}
void AppDelegate::showICloudDisabledView() {
    router_->showICloudDisabledView();
}

void AppDelegate::passcodeValid(const Notification& note) {
    Q_UNUSED(note);
    passcodeValidatedOnCurrentSession_ = true;
    decideWhichViewToShow();
}

void AppDelegate::useCloudNow(QObject* sender) {
    Q_UNUSED(sender);
    utility()->setIsUseICloudAsked(true);
    decideWhichViewToShow();
    moveLocalStoreToICloud();
}

void AppDelegate::useCloudLater(QObject* sender) {
    Q_UNUSED(sender);
    utility()->setIsUseICloudAsked(true);
    decideWhichViewToShow();
}

void AppDelegate::showSettingWindow(QObject* sender) {
    Q_UNUSED(sender);
    settingWindowController()->showWindow(this);
}

SettingWindowController* AppDelegate::settingWindowController() {
    if (settingWindowController_) {
        return settingWindowController_;
    }
    settingWindowController_ =
        new SettingWindowController(utility(), OldDataImporter::sharedImporter());
    MigrateSettingView* migration = settingWindowController_->migrateSettingView();
    migration->setMoveLocalStoreToICloudHandler([this] { moveLocalStoreToICloud(); });
    settingWindowController_->cloudSettingView()->setStorePathSource([this] {
        const PersistentStoreCoordinator* c =
            store_->hasStore() ? store_->persistentStoreCoordinator() : nullptr;
        return c && c->defaultStore() ? c->defaultStore()->path() : QString();
    });
    migration->setManagedObjectContextProvider([this] { return managedObjectContext(); });
    migrationStatus_->replayTo(migration);
    return settingWindowController_;
}

// ---- Life cycle

void AppDelegate::windowDidBecomeKey() {
    decideWhichViewToShow();
}

bool AppDelegate::validateMenuItem() const {
    return router_->menuEnabled();
}

void AppDelegate::rememberWindowPlace() {
    WindowPlace::remember(*window_, *utility()->userDefalts());
    if (arrayController_) {
        const ManagedObject* shown = arrayController_->selectedObject();
        WindowPlace::rememberEditorScroll(*window_, shown ? shown->uuid() : QString(),
                                          *utility()->userDefalts());
    }
    utility()->userDefalts()->synchronize();
}

bool AppDelegate::applicationShouldTerminate() {
    // Unlike the platform's "terminate now", every way out saves first, and a
    // failed save keeps the application (and the edits) alive.
    rememberWindowPlace();
    endEditing();
    return flushUnsavedChanges() || (store_->isFileLost() && offerToSaveToNewFile(true));
}

void AppDelegate::terminateWithoutQuestions() {
    rememberWindowPlace();
    endEditing();
    if (!store_->flushUnsavedChanges()) {
        Log::write(QStringLiteral("Quitting with changes that could not be saved"));
    }
    if (settingWindowController_) {
        settingWindowController_->performClose(this);
    }
}

bool AppDelegate::windowWillClose() {
    rememberWindowPlace();
    endEditing();
    if (!flushUnsavedChanges() && !(store_->isFileLost() && offerToSaveToNewFile(true))) {
        return false;
    }
    if (settingWindowController_) {
        settingWindowController_->performClose(this);
    }
    if (applicationShouldTerminateAfterLastWindowClosed()) {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::exit(0); }, Qt::QueuedConnection);
    }
    return true;
}

// ---- Outlets

QLineEdit* AppDelegate::searchField() const {
    return window_->searchField;
}
EditTextView* AppDelegate::editTextView() const {
    return window_->editTextView;
}
EntryTableView* AppDelegate::entryTableView() const {
    return window_->entryTableView;
}
MonthSelectView* AppDelegate::monthSelectView() const {
    return window_->monthSelectView;
}
QComboBox* AppDelegate::yearPopUp() const {
    return window_->yearPopUp;
}
QWidget* AppDelegate::monthPanel() const {
    return window_->monthPanel;
}
QWidget* AppDelegate::leftButtomView() const {
    return window_->leftButtomView;
}
QWidget* AppDelegate::mainView() const {
    return window_->mainView;
}
PasscodeView* AppDelegate::passcodeView() const {
    return window_->passcodeView;
}
QWidget* AppDelegate::askIfUseICloudView() const {
    return window_->askIfUseICloudView;
}
QWidget* AppDelegate::cloudDisabledBlockerView() const {
    return window_->cloudDisabledBlockerView;
}
Popover* AppDelegate::trashPopover() const {
    return window_->popovers()->trashPopover;
}
Popover* AppDelegate::tagPopover() const {
    return window_->popovers()->tagPopover;
}
Popover* AppDelegate::datePopover() const {
    return window_->popovers()->datePopover;
}
QDateTimeEdit* AppDelegate::datePopoverDatePicker() const {
    return window_->popovers()->datePopoverDatePicker;
}
ThemeColorPickerController* AppDelegate::colorPicker() const {
    return window_->popovers()->colorPicker;
}

} // namespace quillet
