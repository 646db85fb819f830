#pragma once

#include <QStringList>
#include <QVariant>
#include <vector>

namespace quillet {

class ManagedObject;

// What changed in a context: the records by kind of change. For updates, the
// names of the attributes that changed (empty: any).
struct ChangeSet {
    std::vector<ManagedObject*> inserted;
    std::vector<ManagedObject*> updated;
    std::vector<ManagedObject*> deleted;
    std::vector<ManagedObject*> refreshed;
    std::vector<ManagedObject*> invalidated;
    QStringList updatedKeys;
    // Present when every record must be considered stale; carries the
    // announcement's own value.
    QVariant invalidatedAll;
    // Brought in from elsewhere (another machine's changes merged): a list
    // refilters and reorders the updated records at once, which it leaves
    // in place while they are edited here.
    bool merged = false;

    bool isEmpty() const {
        return inserted.empty() && updated.empty() && deleted.empty() && refreshed.empty() &&
               invalidated.empty() && !invalidatedAll.isValid();
    }
};

} // namespace quillet

Q_DECLARE_METATYPE(quillet::ChangeSet)
