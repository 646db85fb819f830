#pragma once

#include "store/Predicate.h"
#include "store/SortDescriptor.h"

#include <optional>
#include <vector>

namespace quillet {

// Which records of an entity to fetch from a context, and in which order.
struct FetchRequest {
    QString entityName = QStringLiteral("Entry");
    std::optional<Predicate> predicate;
    std::vector<SortDescriptor> sortDescriptors;
};

} // namespace quillet
