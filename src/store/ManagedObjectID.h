#pragma once

#include <QMetaType>
#include <QtGlobal>
#include <functional>

namespace quillet {

// Identity of a record: positive for a record that has a row in the store
// (the row's key), negative for one inserted and not yet saved.
struct ManagedObjectID {
    qint64 value = 0;

    bool isNull() const { return value == 0; }
    bool isTemporaryID() const { return value < 0; }
    bool operator==(const ManagedObjectID&) const = default;
};

} // namespace quillet

template <> struct std::hash<quillet::ManagedObjectID> {
    std::size_t operator()(const quillet::ManagedObjectID& id) const noexcept {
        return std::hash<qint64>()(id.value);
    }
};

Q_DECLARE_METATYPE(quillet::ManagedObjectID)
