#include "platform/ArrayController.h"

#include "platform/ChangeSet.h"
#include "platform/ManagedObject.h"
#include "platform/ManagedObjectContext.h"

#include <QTimer>
#include <algorithm>

namespace quillet {

namespace {
const QString kMonthTag = QStringLiteral("monthTag");
const QString kColorTag = QStringLiteral("colorTag");
const QString kTimeStamp = QStringLiteral("timeStamp");
} // namespace

ArrayController::ArrayController(QObject* parent) : QAbstractListModel(parent) {}

ArrayController::~ArrayController() = default;

void ArrayController::setManagedObjectContext(ManagedObjectContext* context) {
    if (context_) {
        disconnect(context_, nullptr, this, nullptr);
    }
    context_ = context;
    content_.clear();
    byMonth_.clear();
    monthOf_.clear();
    pending_.clear();
    if (context_) {
        connect(context_, &ManagedObjectContext::objectsDidChange, this,
                &ArrayController::contextChanged);
        for (ManagedObject* object : context_->registeredObjects()) {
            addToContent(object);
        }
    }
    sortDirty_ = true;
    rearrangeObjects();
}

void ArrayController::setFilterPredicate(const std::optional<Predicate>& predicate) {
    filter_ = predicate;
    rearrangeObjects();
}

void ArrayController::setSortDescriptors(const std::vector<SortDescriptor>& descriptors) {
    sort_ = descriptors;
    sortDirty_ = true;
    rearrangeObjects();
}

bool ArrayController::before(const ManagedObject* a, const ManagedObject* b) const {
    return SortDescriptor::compare(sort_, *a, *b) < 0;
}

void ArrayController::ensureSorted() {
    if (!sortDirty_) {
        return;
    }
    if (!sort_.empty()) {
        std::stable_sort(content_.begin(), content_.end(),
                         [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
    }
    sortDirty_ = false;
}

bool ArrayController::passes(const ManagedObject* object) const {
    return !filter_ || filter_->evaluate(*object);
}

void ArrayController::rearrangeObjects() {
    processPendingChanges();
    std::vector<ManagedObject*> arranged;
    const std::optional<qint64> month = filter_ ? filter_->requiredInteger(kMonthTag) : std::nullopt;
    if (month && filter_->onlyIntegerEqualitiesOn({kMonthTag, kColorTag})) {
        // A month's list comes from its bucket: a few hundred records, not the whole diary.
        const auto it = byMonth_.find(int(*month));
        if (it != byMonth_.end() && *month == qint64(int(*month))) {
            for (ManagedObject* object : it->second) {
                if (passes(object)) {
                    arranged.push_back(object);
                }
            }
            if (!sort_.empty()) {
                std::stable_sort(arranged.begin(), arranged.end(),
                                 [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
            }
        }
    } else {
        ensureSorted();
        arranged.reserve(filter_ ? content_.size() / 4 : content_.size());
        for (ManagedObject* object : content_) {
            if (passes(object)) {
                arranged.push_back(object);
            }
        }
    }
    resetArranged(std::move(arranged));
}

void ArrayController::resetArranged(std::vector<ManagedObject*> arranged) {
    beginResetModel();
    arranged_ = std::move(arranged);
    rowOfValid_ = false;
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
    if (arranged_.size() < 64) {
        const auto it = std::find(arranged_.begin(), arranged_.end(), object);
        return it == arranged_.end() ? IndexSet::NotFound : std::size_t(it - arranged_.begin());
    }
    if (!rowOfValid_) {
        rowOf_.clear();
        rowOf_.reserve(arranged_.size());
        for (std::size_t i = 0; i < arranged_.size(); ++i) {
            rowOf_.emplace(arranged_[i], i);
        }
        rowOfValid_ = true;
    }
    const auto it = rowOf_.find(object);
    return it == rowOf_.end() ? IndexSet::NotFound : it->second;
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
    if (!monthOf_.count(object)) {
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

void ArrayController::addToContent(ManagedObject* object) {
    const int month = object->monthTag();
    monthOf_[object] = month;
    byMonth_[month].push_back(object);
    if (!sortDirty_ && !sort_.empty()) {
        const auto at = std::upper_bound(content_.begin(), content_.end(), object,
                                         [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
        content_.insert(at, object);
    } else {
        content_.push_back(object);
    }
}

void ArrayController::removeFromContent(ManagedObject* object) {
    const auto month = monthOf_.find(object);
    if (month == monthOf_.end()) {
        return;
    }
    auto& bucket = byMonth_[month->second];
    std::erase(bucket, object);
    monthOf_.erase(month);
    std::erase(content_, object);
}

void ArrayController::insertArranged(ManagedObject* object) {
    auto at = arranged_.end();
    if (!sort_.empty()) {
        at = std::upper_bound(arranged_.begin(), arranged_.end(), object,
                              [this](ManagedObject* a, ManagedObject* b) { return before(a, b); });
    }
    const int row = int(at - arranged_.begin());
    beginInsertRows(QModelIndex(), row, row);
    arranged_.insert(at, object);
    rowOfValid_ = false;
    endInsertRows();
    emit arrangedObjectsChanged();
}

void ArrayController::removeArranged(std::size_t row) {
    ManagedObject* object = arranged_[row];
    beginRemoveRows(QModelIndex(), int(row), int(row));
    arranged_.erase(arranged_.begin() + qsizetype(row));
    rowOfValid_ = false;
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
    std::vector<ManagedObject*> pending;
    pending.swap(pending_);
    for (ManagedObject* object : pending) {
        if (!object->isLive() || monthOf_.count(object)) {
            continue;
        }
        addToContent(object);
        if (passes(object)) {
            insertArranged(object);
        }
    }
}

void ArrayController::contextChanged(const ChangeSet& changes) {
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
    for (ManagedObject* object : changes.updated) {
        const auto month = monthOf_.find(object);
        if (month == monthOf_.end()) {
            continue;
        }
        if (changes.updatedKeys.isEmpty() || changes.updatedKeys.contains(kMonthTag)) {
            if (month->second != object->monthTag()) {
                std::erase(byMonth_[month->second], object);
                month->second = object->monthTag();
                byMonth_[month->second].push_back(object);
            }
        }
        if (changes.updatedKeys.isEmpty() || changes.updatedKeys.contains(kTimeStamp)) {
            sortDirty_ = true;
        }
        const std::size_t row = indexOfObject(object);
        if (row != IndexSet::NotFound) {
            const QModelIndex index = this->index(int(row));
            emit dataChanged(index, index);
        }
    }
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
    case ObjectRole: return QVariant::fromValue(object);
    case Qt::DisplayRole: {
        const QString text = object->entryText();
        const qsizetype newline = text.indexOf(QLatin1Char('\n'));
        return newline < 0 ? text : text.left(newline);
    }
    default: return {};
    }
}

} // namespace quillet
