#pragma once

#include "core/Error.h"
#include "store/ChangeSet.h"
#include "store/EntryKey.h"
#include "store/EntryValues.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectID.h"
#include "store/StoreRow.h"

#include <QHash>
#include <QObject>
#include <QTimer>
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
// every record of its store (a large diary: one month at once and the rest
// from a helper thread, announced as inserted when it arrives); fetches see
// pending inserts and hide pending deletes; a save writes every pending
// change in one transaction or none. Every change is announced at once
// through objectsDidChange.
class ManagedObjectContext : public QObject {
    Q_OBJECT
public:
    enum class ConcurrencyType { PrivateQueue = 1, MainQueue = 2 };
    enum class MergePolicy {
        Error,
        MergeByPropertyStoreTrump,
        MergeByPropertyObjectTrump,
        Overwrite,
        Rollback
    };

    explicit ManagedObjectContext(ConcurrencyType type = ConcurrencyType::MainQueue);
    ~ManagedObjectContext() override;

    // Runs block on the context's thread; the caller waits. At once when
    // called on that thread.
    void performBlockAndWait(const std::function<void()>& block);
    // Queues block for the context's thread and returns at once.
    void performBlock(std::function<void()> block);

    void setPersistentStoreCoordinator(PersistentStoreCoordinator* coordinator);
    // The same, for a window that first shows the month firstMonthTag: a
    // large diary gives that month's records at once and the rest once a
    // helper thread has read them (restArrived); a small one everything.
    void setPersistentStoreCoordinator(PersistentStoreCoordinator* coordinator, int firstMonthTag);
    // False while the rest of a large diary is still being read, or its file checked.
    bool hasEverything() const { return !restLoad_; }
    // True once every record is in, though the file's check may still run.
    bool hasAllRecords() const;
    // Waits for the rest (at once when it is in) and takes it in. Fetches,
    // registeredObjects and objectsWithUuid do this themselves.
    void ensureAllLoaded() const;
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
    // The same without waiting for the rest of a large diary.
    std::vector<ManagedObject*> objectsLoadedSoFar() const;
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
    // A save of long texts beside the window. When every pending change is
    // an edit of saved records and one of them is a text of kSaveAsideBytes
    // or more, the texts are folded and written on a helper thread
    // (PersistentStore::saveAside) and savedAside follows here; otherwise,
    // and while one runs, it starts nothing and answers false, and save()
    // is the way. What is changed meanwhile is kept for the next save; a
    // save() or a merge meanwhile waits for this one first.
    bool saveAside();
    bool isSavingAside() const { return saveAside_ != nullptr; }
    // Waits for a save aside, if one runs, and takes its outcome in. Before
    // the store under the context is replaced (a copy of it made, a move):
    // the save writes to the store it began with.
    void waitForSaveAside() { finishSaveAside(); }
    static constexpr qsizetype kSaveAsideBytes = 64 * 1024;
    UndoManager* undoManager() const { return undoManager_; }

    // The record with that identity; for a saved record this context never
    // held, an unloaded placeholder that loads its values on first access.
    ManagedObject* objectWithID(ManagedObjectID id);
    ManagedObject* objectRegisteredForID(ManagedObjectID id) const;
    // Applies changes another context saved: inserted and deleted records
    // join or leave, updated ones are reloaded from the store, keeping this
    // context's own unsaved values under the property-trump policy.
    void mergeChangesFromContextDidSave(const ChangeSet& changes);
    // Also ends the typing step of replaceText.
    void processPendingChanges();

    // The write path of ManagedObject::setValue.
    void setValue(ManagedObject* object, EntryKey key, const QVariant& value);
    // An editor's change of a record's text, in the editor's terms (UTF-16
    // positions): [position, position + removed) becomes inserted. It costs
    // what changed, not the text's length, so an editor hands over every key
    // and the record always holds what the editor shows. The keys typed
    // until the next processPendingChanges (a save, a pause, another change)
    // make one step to undo.
    void replaceText(ManagedObject* object, qsizetype position, qsizetype removed,
                     const QString& inserted);
    void fulfillFault(ManagedObject* object);
    // Reads a record's text from the store; false (and the text still
    // faulted) when the store cannot give it.
    bool fulfillTextFault(ManagedObject* object);
    // Folds the texts edited since the last call: edits are folded once,
    // when a search or a save needs them, not at every keystroke. Call it
    // before records are read on other threads.
    void ensureFoldedTexts();
    // After a large import: lets go of what only the import needed (the
    // identifier index, rebuilt when next asked; the store's page cache) and
    // hands the freed heap back, so that the window holds what a launch with
    // this diary would.
    void releaseMemory();
    // Before a large import: the store keeps more of the file at hand
    // until releaseMemory.
    void prepareForLargeWrite();
    // A long text (from kFoldAheadBytes) is folded on a helper thread once
    // typing pauses for kFoldAheadPauseMs, so that the save that follows the
    // pause finds it folded; a text edited again is folded at the save.
    static constexpr qsizetype kFoldAheadBytes = 64 * 1024;
    static constexpr int kFoldAheadPauseMs = 250;
    // True while a fold is running on the helper thread; how many were started.
    bool isFoldingAhead() const;
    int foldsAheadStarted() const { return foldsAheadStarted_; }

signals:
    void objectsDidChange(const quillet::ChangeSet& changes);
    void didSave(const quillet::ChangeSet& changes);
    // The rest of a large diary is listed (after its records were
    // announced); its file is still being checked.
    void rowsArrived();
    // The rest of a large diary is in and its file checked.
    void restArrived();
    // Reading the rest found the file damaged: nothing more is saved to it.
    void loadFailed(const quillet::Error& error);
    // A save begun by saveAside is over; a failed one left every change unsaved.
    void savedAside(bool saved, const quillet::Error& error);

private:
    ManagedObject* makeObject(ManagedObjectID id);
    void registerID(ManagedObject* object);
    void refreshFromStore(ManagedObject* object);
    // The write path of a new text; its folded form waits for ensureFoldedTexts.
    void setText(ManagedObject* object, QByteArray text);
    // Registers an undo step; typing not made a step yet becomes one first.
    void registerUndo(std::function<void()> action);
    // Typing since the last step becomes one step, in a group of its own.
    void endTyping();
    // One step that turns now back into old, keeping only what differs.
    void registerTextStep(ManagedObject* object, const QByteArray& old, const QByteArray& now);
    // The text was changed without undo (a merge): the steps to undo of the
    // record are moved past the change, and those it overlaps are dropped.
    void mapTextSteps(ManagedObject* object, const QByteArray& old, const QByteArray& now);
    // The bookkeeping every change of a text shares; announces it.
    void textChanged(ManagedObject* object);
    // The UTF-8 offset of a UTF-16 position in the record's text, walked
    // from the place of the last edit (typing stays in one spot).
    qsizetype utf8Offset(ManagedObject* object, qsizetype position);
    void buildUuidIndex() const;
    // Follows a change of the record's identifier (from old) in the index, once there is one.
    void indexUuid(ManagedObject* object, const QString& old) const;

    ConcurrencyType type_;
    PersistentStoreCoordinator* coordinator_ = nullptr;
    MergePolicy mergePolicy_ = MergePolicy::Error;
    UndoManager* undoManager_;
    // The folded texts of the records read beside the window, as long as the records.
    std::vector<FoldedArena> foldedArenas_;
    std::vector<std::unique_ptr<ManagedObject>> objects_;
    // Open addressing: a third of the memory of a node per record.
    QHash<qint64, ManagedObject*> byID_;
    std::unordered_set<ManagedObject*> inserted_;
    std::unordered_set<ManagedObject*> updated_;
    std::unordered_set<ManagedObject*> deleted_;
    std::unordered_map<ManagedObject*, unsigned> changedKeys_;
    // For a saved record whose text is being edited: the text as read before
    // the first change (shared, not copied), so that a save can tell an edit
    // made over the text the file holds from one made beside a newer one.
    std::unordered_map<ManagedObject*, QByteArray> textReadAs_;
    std::unordered_set<ManagedObject*> unfolded_; // edited texts not folded yet
    // The record typed into since the last step, and its text before.
    ManagedObject* typing_ = nullptr;
    QByteArray typedOver_;
    // The last edit's place in a text, in UTF-16 and in UTF-8.
    struct TextPlace {
        ManagedObject* object = nullptr;
        qsizetype utf16 = 0;
        qsizetype utf8 = 0;
    } place_;
    struct TextStep;
    std::unordered_map<ManagedObject*, std::vector<std::weak_ptr<TextStep>>> textSteps_;
    qint64 nextTemporaryID_ = -1;
    std::uint32_t nextSlot_ = 0;
    // The identifier index: every record that has carried the identifier
    // (checked again when asked), and the placeholders not yet loaded.
    mutable std::unordered_map<EntryUuid, std::vector<ManagedObject*>, EntryUuidHash> uuidIndex_;
    mutable std::vector<ManagedObject*> unindexedFaults_;
    mutable bool uuidIndexBuilt_ = false;
    void takeRows(std::vector<StoreRow> rows, ChangeSet* changes);
    // Takes in the rest: everything now, or what fits in one turn of the
    // event loop, queueing the next turn.
    void takeInRest(bool everything);
    struct RestLoad;
    mutable std::unique_ptr<RestLoad> restLoad_;
    struct FoldAhead;
    void startFoldAhead();
    void runFoldAhead(std::unique_ptr<FoldAhead> ahead);
    // Takes in the texts the helper folded that are still the records': at
    // once when it is done; while it runs only when `wait` (then waiting).
    void takeFoldsAhead(bool wait);
    std::unique_ptr<FoldAhead> foldAhead_;
    // Takes in the conflicting copies a save kept (their keys) as records.
    void takeInCopies(const std::vector<qint64>& copies, ChangeSet* saved);
    struct SaveAside;
    // Waits for the save aside, if one runs, and brings memory in line with it.
    void finishSaveAside();
    std::unique_ptr<SaveAside> saveAside_;
    QTimer foldAheadTimer_;
    int foldsAheadStarted_ = 0;
};

} // namespace quillet
