#pragma once

// The store's refusals, shared by the files PersistentStore is made of, so
// that the same damage is worded the same way wherever it is found.

#include "core/Error.h"
#include "store/StoreOptions.h"

namespace quillet::detail {

inline Error storeError(int code, const QString& text) {
    return Error{kStoreErrorDomain, code, text};
}

// The identifier index does not list the entries that carry identifiers.
Error identifierIndexDamaged(const QString& path);

} // namespace quillet::detail
