#pragma once

#include <QString>
#include <vector>

namespace quillet {

class ManagedObject;

// Orders records by one attribute.
class SortDescriptor {
public:
    SortDescriptor(const QString& key, bool ascending) : key_(key), ascending_(ascending) {}

    QString key() const { return key_; }
    bool ascending() const { return ascending_; }
    // Negative, zero or positive as a sorts before, with or after b.
    int compare(const ManagedObject& a, const ManagedObject& b) const;

    // Compares by each descriptor in turn.
    static int compare(const std::vector<SortDescriptor>& descriptors, const ManagedObject& a,
                       const ManagedObject& b);

    bool operator==(const SortDescriptor&) const = default;

private:
    QString key_;
    bool ascending_;
};

} // namespace quillet
