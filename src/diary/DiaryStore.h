#pragma once

#include "core/Error.h"
#include "core/Notification.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quillet {

class ManagedObjectContext;
class ManagedObjectModel;
class PersistentStoreCoordinator;
class UndoManager;
class StoreLocations;
class DailyBackups;

// The diary's store stack, made on first use: the record model, the
// coordinator with its one SQLite store in the folder the store locations
// name, and the main-queue context. Also the merge of changes announced by
// the cloud exchange, and the save that every command ends with.
class DiaryStore : public QObject {
    Q_OBJECT
public:
    // `locations` names the folder and whether the cloud options apply;
    // `refreshSender` is the object "RefreshAllViews" is posted with after a merge.
    DiaryStore(const StoreLocations* locations, QObject* refreshSender, QObject* parent = nullptr);
    ~DiaryStore() override;

    std::shared_ptr<ManagedObjectModel> managedObjectModel();
    // Null (and the failure shown) when the store cannot be opened.
    PersistentStoreCoordinator* persistentStoreCoordinator();
    // Never null: without a store it is an empty context that is not kept,
    // so the next request tries the store again.
    ManagedObjectContext* managedObjectContext();
    bool hasStore() const { return bool(managedObjectContext_); }
    // The month the window shows first: a large diary gives it at once and
    // the rest from a helper thread. Without it the context takes everything at once.
    void setFirstMonthTag(int monthTag) { firstMonthTag_ = monthTag; }
    // Why the last attempt to open the store failed; null after a success.
    Error openError() const { return openError_; }

    // Saves the context if it has changes and waits for the disk (also for
    // earlier automatic saves); shows a failure. True when nothing is left
    // unsaved. For the save command, quitting and the end of a session.
    // A diary file moved, replaced or deleted under the application is told
    // once (to the lost-file handler, or as an alert); later saves fail
    // quietly and the changes stay in the context.
    bool flushUnsavedChanges();
    // Saves without waiting for the disk: survives a crash of the application,
    // not a power loss. For the saves made while the user types. A failure is
    // shown once, not at every attempt, until a save succeeds again. While a
    // large diary's rest is still being read (and checked) the save waits
    // for it without holding up the window. Long texts are saved beside the
    // window (ManagedObjectContext::saveAside), and what changes meanwhile
    // with the next save after that one.
    bool autosave();
    // Who is told that the diary file was moved, replaced or deleted.
    void setFileLostHandler(std::function<void(const Error&)> handler) {
        fileLostHandler_ = std::move(handler);
    }
    // Whether the open diary file was found moved, replaced or deleted, and what was said then.
    bool isFileLost() const { return !fileLostError_.isNull(); }
    Error fileLostError() const { return fileLostError_; }
    // Writes the diary, saved and unsaved changes alike, to a new file at
    // path and goes on with that file.
    bool saveToNewFile(const QString& path, Error* error);
    UndoManager* undoManager();

    // Moves the open local diary into the cloud store folder, where it takes
    // part in the exchange (its whole content goes out as logs at once), and
    // sets the local file aside as "entries.sqlite.bak". Reports to the log
    // only. False, with nothing done, when the user is not signed in.
    bool moveLocalStoreToICloud();

    // The day's copies of the diary; null until the store is open.
    DailyBackups* backups() const { return backups_.get(); }

    void mergeChangesFromCloud(const Notification& note);
    void mergeiCloudChanges(const QVariantMap& userInfo, ManagedObjectContext* context);

signals:
    // The context that holds the store was made (once).
    void contextCreated(ManagedObjectContext* context);

private:
    void backUpIfDue();
    void savedAside(bool saved, const Error& error);
    // What follows a save that did not wait for the disk, either way.
    bool autosaveFailed(const Error& error);
    void autosaved();
    void retireCloudCopy(const QString& openedPath);
    // Tells a diary file found lost once; false for any other failure.
    bool reportFileLost(const Error& error);

    const StoreLocations* locations_;
    QPointer<QObject> refreshSender_;
    std::shared_ptr<ManagedObjectModel> managedObjectModel_;
    std::unique_ptr<PersistentStoreCoordinator> persistentStoreCoordinator_;
    std::unique_ptr<ManagedObjectContext> managedObjectContext_;
    std::vector<std::unique_ptr<QObject>> unheld_;
    Error openError_;
    bool autosaveFailureShown_ = false;
    bool autosaveAfterRest_ = false;
    bool autosaveAfterAside_ = false;
    std::function<void(const Error&)> fileLostHandler_;
    Error fileLostError_;
    std::unique_ptr<DailyBackups> backups_;
    std::optional<int> firstMonthTag_;
    // Runs the cloud copy's retirement; waits for it when the store goes.
    QThreadPool retirement_;
};

} // namespace quillet
