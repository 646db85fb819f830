#pragma once

#include "core/IndexSet.h"
#include "store/EntryKey.h"
#include "store/Predicate.h"
#include "store/SortDescriptor.h"

#include <QAbstractListModel>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillet {

class ManagedObject;
class ManagedObjectContext;
struct ChangeSet;

// The entry list: its content is every Entry of a context, following inserts
// and deletes made there by anyone; the arranged objects are those that pass
// the filter, in the order of the sort descriptors. One selected object at
// most; the selection follows its object when the list is rearranged and is
// NotFound when nothing is selected. A Qt item model lists the arranged
// objects for views.
class ArrayController : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int ObjectRole = Qt::UserRole + 1;

    explicit ArrayController(QObject* parent = nullptr);
    ~ArrayController() override;

    void setManagedObjectContext(ManagedObjectContext* context);
    ManagedObjectContext* managedObjectContext() const { return context_; }

    void setFilterPredicate(const std::optional<Predicate>& predicate);
    const std::optional<Predicate>& filterPredicate() const { return filter_; }
    void setSortDescriptors(const std::vector<SortDescriptor>& descriptors);
    const std::vector<SortDescriptor>& sortDescriptors() const { return sort_; }
    // Filters and sorts the content again.
    void rearrangeObjects();

    const std::vector<ManagedObject*>& arrangedObjects() const { return arranged_; }
    std::size_t count() const { return arranged_.size(); }
    ManagedObject* objectAtIndex(std::size_t index) const;
    // By identity; IndexSet::NotFound when not listed.
    std::size_t indexOfObject(const ManagedObject* object) const;

    std::size_t selectionIndex() const;
    bool setSelectionIndex(std::size_t index);
    ManagedObject* selectedObject() const { return selected_; }

    // A new Entry inserted into the context.
    ManagedObject* newObject();
    // Joins the content; listed and selected when it passes the filter.
    void addObject(ManagedObject* object);
    // Deletes the listed object from the context.
    void removeObjectAtArrangedObjectIndex(std::size_t index);

    // Takes in records inserted into the context since the last turn of the
    // event loop (they are taken in once their values are set).
    void processPendingChanges();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    void selectionChanged();
    void arrangedObjectsChanged();

private:
    // A sort descriptor with its attribute looked up once, not at every comparison.
    struct SortKey {
        EntryKey key;
        bool ascending;
    };

    void contextChanged(const ChangeSet& changes);
    void addToContent(ManagedObject* object);
    // Many records at once (an import's batch): one merge, not one insertion each.
    void addManyToContent(std::vector<ManagedObject*> objects);
    void removeFromContent(ManagedObject* object);
    void compactContent();
    void ensureSorted();
    void sortContent();
    bool passes(const ManagedObject* object) const;
    bool before(const ManagedObject* a, const ManagedObject* b) const;
    std::vector<ManagedObject*> filteredContent() const;
    std::vector<ManagedObject*> filtered(const std::vector<ManagedObject*>& records) const;
    // Another machine's changes: records leave or join the list, or move to
    // their place, at once; the selection stays on its record while listed.
    void followMergedUpdates(const std::vector<ManagedObject*>& updated);
    void moveArranged(std::size_t from, std::size_t to);
    void insertArranged(ManagedObject* object);
    void removeArranged(std::size_t row);
    void setSelected(ManagedObject* object);
    void resetArranged(std::vector<ManagedObject*> arranged);

    ManagedObjectContext* context_ = nullptr;
    std::optional<Predicate> filter_;
    std::vector<SortDescriptor> sort_;
    std::vector<SortKey> sortKeys_;
    std::vector<ManagedObject*> content_; // sorted by sort_ when !sortDirty_
    // Records deleted but still in content_: taken out in one pass before
    // content_ is next read, so that removing many costs one pass, not one each.
    std::unordered_set<const ManagedObject*> goneFromContent_;
    bool sortDirty_ = true;
    std::unordered_map<int, std::vector<ManagedObject*>> byMonth_;
    // The month each record of content_ is filed under, by its slot (kUnfiled
    // for one that is not): eight bytes a record, no hashing.
    std::vector<qint64> monthOf_;
    static constexpr qint64 kUnfiled = std::numeric_limits<qint64>::min();
    bool isFiled(const ManagedObject* object) const;
    qint64& filedMonth(const ManagedObject* object);
    std::vector<ManagedObject*> arranged_; // in sort order, except briefly after a re-sorting edit
    ManagedObject* selected_ = nullptr;
    // The filter arranged_ was last made with, while nothing has changed
    // since: a narrower search then looks only among arranged_.
    std::optional<Predicate> arrangedBy_;
    std::vector<ManagedObject*> pending_;
    bool flushQueued_ = false;
};

} // namespace quillet
