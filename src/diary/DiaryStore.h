#pragma once

#include "core/Error.h"
#include "core/Notification.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <vector>

namespace quillet {

class ManagedObjectContext;
class ManagedObjectModel;
class PersistentStoreCoordinator;
class UndoManager;
class StoreLocations;

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

    // Saves the context if it has changes; shows a failure. True when nothing
    // is left unsaved.
    bool flushUnsavedChanges();
    UndoManager* undoManager();

    void mergeChangesFromCloud(const Notification& note);
    void mergeiCloudChanges(const QVariantMap& userInfo, ManagedObjectContext* context);

signals:
    // The context that holds the store was made (once).
    void contextCreated(ManagedObjectContext* context);

private:
    const StoreLocations* locations_;
    QPointer<QObject> refreshSender_;
    std::shared_ptr<ManagedObjectModel> managedObjectModel_;
    std::unique_ptr<PersistentStoreCoordinator> persistentStoreCoordinator_;
    std::unique_ptr<ManagedObjectContext> managedObjectContext_;
    std::vector<std::unique_ptr<QObject>> unheld_;
    Error openError_;
    std::optional<int> firstMonthTag_;
};

} // namespace quillet
