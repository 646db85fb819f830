// The application delegate's store commands: new entries, saving and undo.
// The store stack itself is the diary's DiaryStore.
#include "app/AppDelegate.h"

#include "core/Alerts.h"
#include "diary/DiaryStore.h"
#include "diary/SaveScheduler.h"
#include "diary/journal/EntryCommands.h"
#include "store/ManagedObjectContext.h"
#include "store/PersistentStoreCoordinator.h"
#include "ui/LostDiaryFileAlert.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace quillet {

std::shared_ptr<ManagedObjectModel> AppDelegate::managedObjectModel() {
    return store_->managedObjectModel();
}

PersistentStoreCoordinator* AppDelegate::persistentStoreCoordinator() {
    return store_->persistentStoreCoordinator();
}

ManagedObjectContext* AppDelegate::managedObjectContext() {
    return store_->managedObjectContext();
}

void AppDelegate::insertNewObject(QObject* sender) {
    Q_UNUSED(sender);
    flushUnsavedChanges();
    if (!newVisibleEntry()) {
        return;
    }
    managedObjectContext()->save(nullptr);
    editTextView()->setFocus(Qt::OtherFocusReason);
}

ManagedObject* AppDelegate::newVisibleEntry() {
    // An empty entry matches no search, so a search gives way to the month
    // list; the month goes back to today's, where the entry belongs. A color
    // filter stays: the entry takes its tag and is listed under it.
    if (!searchField()->text().isEmpty()) {
        searchField()->clear();
    }
    currentMonth(this);
    reloadData();
    // Listed now and selected, so the editor shows it before the next key.
    return commands_->newEntry();
}

void AppDelegate::saveAction(QObject* sender) {
    Q_UNUSED(sender);
    endEditing();
    flushUnsavedChanges();
}

bool AppDelegate::flushUnsavedChanges() {
    endEditing();
    if (!store_->flushUnsavedChanges()) {
        return false;
    }
    saveScheduler_->cancel();
    return true;
}

bool AppDelegate::offerToSaveToNewFile(bool quitting) {
    lostFileOfferPending_ = false;
    if (!store_->isFileLost()) {
        return true;
    }
    PersistentStoreCoordinator* coordinator = store_->persistentStoreCoordinator();
    const QString folder = coordinator && coordinator->defaultStore()
                               ? QFileInfo(coordinator->defaultStore()->path()).absolutePath()
                               : QDir::homePath();
    QString path;
    switch (LostDiaryFileAlert::ask(window_, store_->fileLostError(),
                                    folder + QStringLiteral("/entries (recovered).sqlite"),
                                    quitting, &path)) {
    case LostDiaryFileAlert::Choice::QuitWithoutSaving:
        return true;
    case LostDiaryFileAlert::Choice::NotNow:
        return false;
    case LostDiaryFileAlert::Choice::SaveToNewFile:
        break;
    }
    Error error;
    if (!store_->saveToNewFile(path, &error)) {
        Alerts::presentError(error);
        return false;
    }
    return true;
}

void AppDelegate::textDidEndEditing() {
    autosave();
}

bool AppDelegate::autosave() {
    endEditing();
    const bool saved = store_->autosave();
    // Handing the text over announced a change; it is saved now. A failed
    // save is tried again at the next change.
    saveScheduler_->cancel();
    return saved;
}

void AppDelegate::windowDidResignKey() {
    autosave();
}

UndoManager* AppDelegate::windowWillReturnUndoManager() {
    return store_->undoManager();
}

void AppDelegate::mergeChangesFromCloud(const Notification& note) {
    store_->mergeChangesFromCloud(note);
}

void AppDelegate::mergeiCloudChanges(const QVariantMap& userInfo, ManagedObjectContext* context) {
    store_->mergeiCloudChanges(userInfo, context);
}

} // namespace quillet
