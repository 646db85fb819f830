#pragma once

#include "store/EntryValues.h"

namespace quillet {

// One row of the store's entry table: its key and its values.
struct StoreRow {
    qint64 key = 0;
    EntryValues values;
};

} // namespace quillet
