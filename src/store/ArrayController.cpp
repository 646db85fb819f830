#include "store/ArrayController.h"

#include "store/ChangeSet.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace quillet {

namespace {
const QString kMonthTag = QStringLiteral("monthTag");
const QString kColorTag = QStringLiteral("colorTag");

// Up to this many records arriving together are put in place one by one;
// more are sorted among themselves and merged in one pass.
constexpr std::size_t kOneByOneLimit = 32;

// sorted merged into list (both in order), ties after the list's own. The
// list's part before the first newcomer's place is copied without comparing:
// an import arrives in date order, so most of a long list is passed over.
template <typename Order>
std::vector<ManagedObject*> mergedInto(const std::vector<ManagedObject*>& list,
                                       const std::vector<ManagedObject*>& sorted, Order order) {
    std::vector<ManagedObject*> merged;
    merged.reserve(list.size() + sorted.size());
    const auto from = sorted.empty()
                          ? list.end()
                          : std::upper_bound(list.begin(), list.end(), sorted.front(), order);
    merged.insert(merged.end(), list.begin(), from);
    std::merge(from, list.end(), sorted.begin(), sorted.end(), std::back_inserter(merged), order);
    return merged;
}

template <typename T> int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The same order as SortDescriptor::compare, without looking the key up by name.
int compareBy(EntryKey key, const ManagedObject& a, const ManagedObject& b) {
    switch (key) {
    case EntryKey::TimeStamp:
        return threeWay(a.timeStampSeconds(), b.timeStampSeconds());
    case EntryKey::ColorTag:
        return threeWay(a.colorTag(), b.colorTag());
    case EntryKey::MonthTag:
        return threeWay(a.monthTag(), b.monthTag());
    case EntryKey::Uuid:
        return a.uuid().compare(b.uuid());
    case EntryKey::EntryText:
        return a.entryText().compare(b.entryText());
    }
    return 0;
}
} // namespace

ArrayController::ArrayController(QObject* parent) : QAbstractListModel(parent) {}

ArrayController::~ArrayController() = default;

void ArrayController::setManagedObjectContext(ManagedObjectContext* context) {
    arrangedBy_.reset();
    if (context_) {
        disconnect(context_, nullptr, this, nullptr);
    }
    context_ = context;
    content_.clear();
    goneFromContent_.clear();
    byMonth_.clear();
    monthOf_.clear();
    pending_.clear();
    sortDirty_ = true;
    if (context_) {
        connect(context_, &ManagedObjectContext::objectsDidChange, this,
                &ArrayController::contextChanged);
        const std::vector<ManagedObject*> objects = context_->objectsLoadedSoFar();
        content_.reserve(objects.size());
        monthOf_.reserve(objects.size());
        for (ManagedObject* object : objects) {
            addToContent(object);
        }
    }
    // Sorted now, while the diary opens, so that the first search does not pay for it.
    ensureSorted();
    rearrangeObjects();
}

bool ArrayController::isFiled(const ManagedObject* object) const {
    return object->slot() < monthOf_.size() && monthOf_[object->slot()] != kUnfiled;
}

qint64& ArrayController::filedMonth(const ManagedObject* object) {
    if (object->slot() >= monthOf_.size()) {
        monthOf_.resize(std::size_t(object->slot()) + 1, kUnfiled);
    }
    return monthOf_[object->slot()];
}

void ArrayController::setFilterPredicate(const std::optional<Predicate>& predicate) {
    filter_ = predicate;
    rearrangeObjects();
}

void ArrayController::setSortDescriptors(const std::vector<SortDescriptor>& descriptors) {
    arrangedBy_.reset();
    sort_ = descriptors;
    sortKeys_.clear();
    for (const SortDescriptor& d : sort_) {
        sortKeys_.push_back(
            {entryKeyFromName(d.key()).value_or(EntryKey::TimeStamp), d.ascending()});
    }
    sortDirty_ = true;
    rearrangeObjects();
}

bool ArrayController::before(const ManagedObject* a, const ManagedObject* b) const {
    for (const SortKey& k : sortKeys_) {
        if (const int r = compareBy(k.key, *a, *b); r != 0) {
            return k.ascending ? r < 0 : r > 0;
        }
    }
    return false;
}

void ArrayController::ensureSorted() {
    compactContent();
    if (!sortDirty_) {
        return;
    }
    sortContent();
    sortDirty_ = false;
}

void ArrayController::sortContent() {
    if (sortKeys_.empty()) {
        return;
    }
    if (sortKeys_.size() == 1 && sortKeys_.front().key == EntryKey::TimeStamp) {
        // The diary's one order: sort the time stamps beside their positions,
        // which stays in cache, instead of visiting two records per comparison.
        // Ties keep their content order, as a stable sort would.
        struct Keyed {
            double time;
            std::uint32_t position;
        };
        std::vector<Keyed> keyed(content_.size());
        bool comparable = true;
        for (std::size_t i = 0; i < content_.size(); ++i) {
            keyed[i] = {content_[i]->timeStampSeconds(), std::uint32_t(i)};
            comparable = comparable && !std::isnan(keyed[i].time);
        }
        if (comparable) {
            const bool ascending = sortKeys_.front().ascending;
            std::sort(keyed.begin(), keyed.end(), [ascending](const Keyed& a, const Keyed& b) {
                if (a.time != b.time) {
                    return ascending ? a.time < b.time : a.time > b.time;
                }
                return a.position < b.position;
            });
            std::vector<ManagedObject*> sorted(content_.size());
            for (std::size_t i = 0; i < keyed.size(); ++i) {
                sorted[i] = content_[keyed[i].position];
            }
            content_.swap(sorted);
            return;
        }
    }
    std::stable_sort(content_.begin(), content_.end(),
                     [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
}

bool ArrayController::passes(const ManagedObject* object) const {
    return !filter_ || filter_->evaluate(*object);
}

void ArrayController::rearrangeObjects() {
    processPendingChanges();
    std::vector<ManagedObject*> arranged;
    const std::optional<qint64> month =
        filter_ ? filter_->requiredInteger(kMonthTag) : std::nullopt;
    if (month && filter_->onlyIntegerEqualitiesOn({kMonthTag, kColorTag})) {
        // A month's list comes from its bucket: a few hundred records, not the whole diary.
        const auto it = byMonth_.find(int(*month));
        if (it != byMonth_.end() && *month == qint64(int(*month))) {
            for (ManagedObject* object : it->second) {
                if (passes(object)) {
                    arranged.push_back(object);
                }
            }
            if (!sortKeys_.empty()) {
                std::stable_sort(
                    arranged.begin(), arranged.end(),
                    [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
            }
        }
    } else {
        // Before the rest of a large diary is in, this is what has arrived;
        // the rest joins, in order, when it does (processPendingChanges).
        ensureSorted();
        if (filter_ && arrangedBy_ &&
            filter_->predicateFormat() != arrangedBy_->predicateFormat() &&
            filter_->narrows(*arrangedBy_)) {
            // A search typed further: its matches are among the last ones, in order.
            arranged = filtered(arranged_);
        } else {
            arranged = filteredContent();
        }
    }
    resetArranged(std::move(arranged));
    arrangedBy_ = filter_;
}

void ArrayController::resetArranged(std::vector<ManagedObject*> arranged) {
    beginResetModel();
    arranged_ = std::move(arranged);
    endResetModel();
    emit arrangedObjectsChanged();
    // The selection follows its object; it is lost when the object is not listed.
    if (selected_ && indexOfObject(selected_) == IndexSet::NotFound) {
        selected_ = nullptr;
    }
    emit selectionChanged();
}

ManagedObject* ArrayController::objectAtIndex(std::size_t index) const {
    return index < arranged_.size() ? arranged_[index] : nullptr;
}

std::size_t ArrayController::indexOfObject(const ManagedObject* object) const {
    if (object == nullptr) {
        return IndexSet::NotFound;
    }
    if (!sortKeys_.empty() && arranged_.size() >= 32) {
        // The list is in sort order: look among the records that sort alike.
        const auto [low, high] = std::equal_range(
            arranged_.begin(), arranged_.end(), const_cast<ManagedObject*>(object),
            [this](const ManagedObject* a, const ManagedObject* b) { return before(a, b); });
        for (auto it = low; it != high; ++it) {
            if (*it == object) {
                return std::size_t(it - arranged_.begin());
            }
        }
    }
    // Not there: an object the list does not hold, or one whose sort value
    // changed since the list was arranged.
    const auto it = std::find(arranged_.begin(), arranged_.end(), object);
    return it == arranged_.end() ? IndexSet::NotFound : std::size_t(it - arranged_.begin());
}

std::size_t ArrayController::selectionIndex() const {
    return indexOfObject(selected_);
}

bool ArrayController::setSelectionIndex(std::size_t index) {
    if (index == IndexSet::NotFound) {
        setSelected(nullptr);
        return true;
    }
    if (index >= arranged_.size()) {
        return false;
    }
    setSelected(arranged_[index]);
    return true;
}

void ArrayController::setSelected(ManagedObject* object) {
    if (selected_ == object) {
        return;
    }
    selected_ = object;
    emit selectionChanged();
}

ManagedObject* ArrayController::newObject() {
    return context_ ? context_->insertNewObject(QStringLiteral("Entry")) : nullptr;
}

void ArrayController::addObject(ManagedObject* object) {
    if (!object) {
        return;
    }
    processPendingChanges();
    if (!isFiled(object)) {
        addToContent(object);
    }
    if (indexOfObject(object) == IndexSet::NotFound && passes(object)) {
        insertArranged(object);
    }
    if (indexOfObject(object) != IndexSet::NotFound) {
        setSelected(object);
    }
}

void ArrayController::removeObjectAtArrangedObjectIndex(std::size_t index) {
    ManagedObject* object = objectAtIndex(index);
    if (!object) {
        return;
    }
    if (context_) {
        context_->deleteObject(object); // comes back through contextChanged
    }
}

void ArrayController::compactContent() {
    if (goneFromContent_.empty()) {
        return;
    }
    std::erase_if(content_,
                  [this](const ManagedObject* o) { return goneFromContent_.count(o) != 0; });
    goneFromContent_.clear();
}

void ArrayController::addManyToContent(std::vector<ManagedObject*> objects) {
    compactContent();
    for (ManagedObject* object : objects) {
        const int month = object->monthTag();
        filedMonth(object) = month;
        byMonth_[month].push_back(object);
    }
    if (sortDirty_ || sortKeys_.empty()) {
        content_.insert(content_.end(), objects.begin(), objects.end());
        return;
    }
    // Ties go after the records already there, as one by one.
    const auto order = [this](const ManagedObject* a, const ManagedObject* b) {
        return before(a, b);
    };
    std::stable_sort(objects.begin(), objects.end(), order);
    content_ = mergedInto(content_, objects, order);
}

void ArrayController::addToContent(ManagedObject* object) {
    compactContent();
    const int month = object->monthTag();
    filedMonth(object) = month;
    byMonth_[month].push_back(object);
    if (!sortDirty_ && !sortKeys_.empty()) {
        const auto at =
            std::upper_bound(content_.begin(), content_.end(), object,
                             [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
        content_.insert(at, object);
    } else {
        content_.push_back(object);
    }
}

void ArrayController::removeFromContent(ManagedObject* object) {
    if (!isFiled(object)) {
        return;
    }
    qint64& month = filedMonth(object);
    std::erase(byMonth_[int(month)], object);
    month = kUnfiled;
    goneFromContent_.insert(object);
}

void ArrayController::insertArranged(ManagedObject* object) {
    auto at = arranged_.end();
    if (!sortKeys_.empty()) {
        at = std::upper_bound(arranged_.begin(), arranged_.end(), object,
                              [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
    }
    const int row = int(at - arranged_.begin());
    beginInsertRows(QModelIndex(), row, row);
    arranged_.insert(at, object);
    arrangedBy_.reset();
    endInsertRows();
    emit arrangedObjectsChanged();
}

void ArrayController::removeArranged(std::size_t row) {
    ManagedObject* object = arranged_[row];
    beginRemoveRows(QModelIndex(), int(row), int(row));
    arranged_.erase(arranged_.begin() + qsizetype(row));
    arrangedBy_.reset();
    endRemoveRows();
    emit arrangedObjectsChanged();
    if (selected_ == object) {
        // The row that took the removed one's place, or the new last row.
        selected_ = nullptr;
        if (!arranged_.empty()) {
            selected_ = arranged_[std::min(row, arranged_.size() - 1)];
        }
        emit selectionChanged();
    }
}

void ArrayController::processPendingChanges() {
    if (pending_.empty()) {
        return;
    }
    arrangedBy_.reset();
    std::vector<ManagedObject*> pending;
    pending.swap(pending_);
    std::vector<ManagedObject*> arriving;
    std::unordered_set<const ManagedObject*> seen;
    for (ManagedObject* object : pending) {
        if (object->isLive() && !isFiled(object) && seen.insert(object).second) {
            arriving.push_back(object);
        }
    }
    if (arriving.size() <= kOneByOneLimit) {
        for (ManagedObject* object : arriving) {
            addToContent(object);
            if (passes(object)) {
                insertArranged(object);
            }
        }
        return;
    }
    std::vector<ManagedObject*> listed;
    for (ManagedObject* object : arriving) {
        if (passes(object)) {
            listed.push_back(object);
        }
    }
    addManyToContent(std::move(arriving));
    if (listed.size() <= kOneByOneLimit) {
        for (ManagedObject* object : listed) {
            insertArranged(object);
        }
        return;
    }
    const auto order = [this](const ManagedObject* a, const ManagedObject* b) {
        return before(a, b);
    };
    std::vector<ManagedObject*> arranged;
    if (sortKeys_.empty()) {
        arranged = arranged_;
        arranged.insert(arranged.end(), listed.begin(), listed.end());
    } else {
        std::stable_sort(listed.begin(), listed.end(), order);
        arranged = mergedInto(arranged_, listed, order);
    }
    resetArranged(std::move(arranged));
}

void ArrayController::contextChanged(const ChangeSet& changes) {
    // A record changed may now pass a search it failed: the next one looks at everything.
    arrangedBy_.reset();
    for (ManagedObject* object : changes.inserted) {
        // Taken in later, once whoever inserted it has set its values.
        pending_.push_back(object);
    }
    if (!pending_.empty() && !flushQueued_) {
        flushQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            flushQueued_ = false;
            processPendingChanges();
        });
    }
    for (ManagedObject* object : changes.deleted) {
        std::erase(pending_, object);
        removeFromContent(object);
        const std::size_t row = indexOfObject(object);
        if (row != IndexSet::NotFound) {
            removeArranged(row);
        }
    }
    bool affectsOrder = changes.updatedKeys.isEmpty();
    for (const SortKey& k : sortKeys_) {
        affectsOrder = affectsOrder || changes.updatedKeys.contains(entryKeyName(k.key));
    }
    for (ManagedObject* object : changes.updated) {
        if (!isFiled(object)) {
            continue;
        }
        if (changes.updatedKeys.isEmpty() || changes.updatedKeys.contains(kMonthTag)) {
            qint64& month = filedMonth(object);
            if (month != object->monthTag()) {
                std::erase(byMonth_[int(month)], object);
                month = object->monthTag();
                byMonth_[int(month)].push_back(object);
            }
        }
        if (affectsOrder && !sortDirty_) {
            if (changes.updated.size() == 1) {
                // One record moved (a new date): put it back in its place
                // rather than sort the whole diary again.
                compactContent();
                std::erase(content_, object);
                content_.insert(std::upper_bound(content_.begin(), content_.end(), object,
                                                 [this](ManagedObject* a, ManagedObject* b) {
                                                     return before(a, b);
                                                 }),
                                object);
            } else {
                sortDirty_ = true;
            }
        }
        const std::size_t row = indexOfObject(object);
        if (row != IndexSet::NotFound) {
            const QModelIndex index = this->index(int(row));
            emit dataChanged(index, index);
        }
    }
    if (changes.merged && !changes.updated.empty()) {
        followMergedUpdates(changes.updated);
    }
}

void ArrayController::followMergedUpdates(const std::vector<ManagedObject*>& updated) {
    const auto order = [this](const ManagedObject* a, const ManagedObject* b) {
        return before(a, b);
    };
    const auto rowOf = [this](const ManagedObject* object) {
        return std::size_t(std::find(arranged_.begin(), arranged_.end(), object) -
                           arranged_.begin());
    };
    std::unordered_set<const ManagedObject*> seen;
    std::vector<ManagedObject*> joining, staying;
    for (ManagedObject* object : updated) {
        if (!isFiled(object) || !seen.insert(object).second) {
            continue;
        }
        const std::size_t row = rowOf(object);
        const bool listed = row < arranged_.size();
        if (listed && !passes(object)) {
            removeArranged(row);
        } else if (!listed && passes(object)) {
            joining.push_back(object);
        } else if (listed) {
            staying.push_back(object);
        }
    }
    if (!sortKeys_.empty() && !std::is_sorted(arranged_.begin(), arranged_.end(), order)) {
        // The others are still in order: the changed ones go to the end, then
        // each into its place among them. Moves, so views keep their selection.
        for (ManagedObject* object : staying) {
            moveArranged(rowOf(object), arranged_.size());
        }
        std::stable_sort(staying.begin(), staying.end(), order);
        std::size_t inOrder = arranged_.size() - staying.size();
        for (ManagedObject* object : staying) {
            const auto at = std::upper_bound(arranged_.begin(),
                                             arranged_.begin() + qsizetype(inOrder), object, order);
            moveArranged(rowOf(object), std::size_t(at - arranged_.begin()));
            ++inOrder;
        }
        emit arrangedObjectsChanged();
        if (selected_) {
            emit selectionChanged();
        }
    }
    for (ManagedObject* object : joining) {
        insertArranged(object);
    }
}

void ArrayController::moveArranged(std::size_t from, std::size_t to) {
    // `to` is the row the record goes before, counted before the move.
    if (from >= arranged_.size() || to == from || to == from + 1) {
        return;
    }
    beginMoveRows(QModelIndex(), int(from), int(from), QModelIndex(), int(to));
    const auto at = arranged_.begin() + qsizetype(from);
    if (to > from) {
        std::rotate(at, at + 1, arranged_.begin() + qsizetype(to));
    } else {
        std::rotate(arranged_.begin() + qsizetype(to), at, at + 1);
    }
    arrangedBy_.reset();
    endMoveRows();
}

int ArrayController::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(arranged_.size());
}

QVariant ArrayController::data(const QModelIndex& index, int role) const {
    ManagedObject* object = objectAtIndex(std::size_t(index.row()));
    if (!index.isValid() || !object) {
        return {};
    }
    switch (role) {
    case ObjectRole:
        return QVariant::fromValue(object);
    case Qt::DisplayRole: {
        const QString text = object->entryText();
        const qsizetype newline = text.indexOf(QLatin1Char('\n'));
        return newline < 0 ? text : text.left(newline);
    }
    default:
        return {};
    }
}

} // namespace quillet
