#pragma once

#include "store/ChangeSet.h"
#include "store/EntryKey.h"
#include "store/EntryValues.h"
#include "core/Error.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectID.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillet {

class ManagedObject;
class PersistentStoreCoordinator;
class UndoManager;

// Holds the diary's records in memory, on the thread that created it (the
// main thread for the main-queue context). When given a coordinator it takes
// every record of its store; fetches see pending inserts and hide pending
// deletes; a save writes every pending change in one transaction or none.
// Every change is announced at once through objectsDidChange.
class ManagedObjectContext : public QObject {
    Q_OBJECT
public:
    enum class ConcurrencyType { PrivateQueue = 1, MainQueue = 2 };
    enum class MergePolicy { Error, MergeByPropertyStoreTrump, MergeByPropertyObjectTrump, Overwrite, Rollback };

    explicit ManagedObjectContext(ConcurrencyType type = ConcurrencyType::MainQueue);
    ~ManagedObjectContext() override;

    // Runs block on the context's thread; the caller waits. At once when
    // called on that thread.
    void performBlockAndWait(const std::function<void()>& block);
    // Queues block for the context's thread and returns at once.
    void performBlock(std::function<void()> block);

    void setPersistentStoreCoordinator(PersistentStoreCoordinator* coordinator);
    PersistentStoreCoordinator* persistentStoreCoordinator() const { return coordinator_; }
    void setMergePolicy(MergePolicy policy) { mergePolicy_ = policy; }
    MergePolicy mergePolicy() const { return mergePolicy_; }

    ManagedObject* insertNewObject(const QString& entityName);
    // A new record with every value set at once, announced as one change
    // (setting them one by one announces five). The folded text must be the
    // text's; the caller may have folded it on another thread.
    ManagedObject* insertNewObject(const QString& entityName, EntryValues values);
    // Brings back a record that was deleted (undo, redo).
    void insertObject(ManagedObject* object);
    void deleteObject(ManagedObject* object);
    std::optional<std::vector<ManagedObject*>> executeFetchRequest(const FetchRequest& request,
                                                                   Error* error) const;
    // Every live record, in the order the store gave them and then inserted.
    std::vector<ManagedObject*> registeredObjects() const;
    // The live records whose identifier is exactly uuid, in fetch order. From
    // the first ask on the context keeps an index of the identifiers, so this
    // (and a fetch whose predicate is only "uuid == value") visits no other
    // record.
    std::vector<ManagedObject*> objectsWithUuid(const QString& uuid) const;

    bool hasChanges() const;
    // Writes every pending change in one transaction. With waitForDisk false
    // (a long import saving as it goes) the save does not wait for the disk:
    // nothing is lost when the process ends, however it ends, but a power loss
    // may take it until a save that waits, which covers the earlier ones and
    // waits even when it has nothing of its own to write.
    bool save(Error* error, bool waitForDisk = true);
    UndoManager* undoManager() const { return undoManager_; }

    // The record with that identity; for a saved record this context never
    // held, an unloaded placeholder that loads its values on first access.
    ManagedObject* objectWithID(ManagedObjectID id);
    ManagedObject* objectRegisteredForID(ManagedObjectID id) const;
    // Applies changes another context saved: inserted and deleted records
    // join or leave, updated ones are reloaded from the store, keeping this
    // context's own unsaved values under the property-trump policy.
    void mergeChangesFromContextDidSave(const ChangeSet& changes);
    void processPendingChanges();

    // The write path of ManagedObject::setValue.
    void setValue(ManagedObject* object, EntryKey key, const QVariant& value);
    void fulfillFault(ManagedObject* object);
    // Reads a record's text from the store; false (and the text still
    // faulted) when the store cannot give it.
    bool fulfillTextFault(ManagedObject* object);
    // Opening a store leaves its folded texts to a helper thread; this waits
    // for it (at once when it is done) and hands them to their records, and
    // folds the texts edited since the last call. Call it before records are
    // read on other threads.
    void ensureFoldedTexts();

signals:
    void objectsDidChange(const quillet::ChangeSet& changes);
    void didSave(const quillet::ChangeSet& changes);

private:
    ManagedObject* makeObject(ManagedObjectID id);
    void registerID(ManagedObject* object);
    void refreshFromStore(ManagedObject* object);
    // The write path of a new text; its folded form waits for ensureFoldedTexts.
    void setText(ManagedObject* object, QByteArray text);
    void buildUuidIndex() const;
    // Follows a change of the record's identifier (from old) in the index, once there is one.
    void indexUuid(ManagedObject* object, const QString& old) const;

    ConcurrencyType type_;
    PersistentStoreCoordinator* coordinator_ = nullptr;
    MergePolicy mergePolicy_ = MergePolicy::Error;
    UndoManager* undoManager_;
    std::vector<std::unique_ptr<ManagedObject>> objects_;
    std::unordered_map<qint64, ManagedObject*> byID_;
    std::unordered_set<ManagedObject*> inserted_;
    std::unordered_set<ManagedObject*> updated_;
    std::unordered_set<ManagedObject*> deleted_;
    std::unordered_map<ManagedObject*, unsigned> changedKeys_;
    std::unordered_set<ManagedObject*> unfolded_; // edited texts not folded yet
    qint64 nextTemporaryID_ = -1;
    // The identifier index: every record that has carried the identifier
    // (checked again when asked), and the placeholders not yet loaded.
    mutable std::unordered_map<QString, std::vector<ManagedObject*>> uuidIndex_;
    mutable std::vector<ManagedObject*> unindexedFaults_;
    mutable bool uuidIndexBuilt_ = false;
    struct FoldedTextLoad;
    std::unique_ptr<FoldedTextLoad> foldedLoad_;
};

} // namespace quillet
