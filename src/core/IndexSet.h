#pragma once

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <set>

namespace quillet {

// A set of row indexes, as the selection of a list or grid.
class IndexSet {
public:
    static constexpr std::size_t NotFound = std::numeric_limits<std::size_t>::max();

    IndexSet() = default;
    IndexSet(std::initializer_list<std::size_t> indexes) : indexes_(indexes) {}
    static IndexSet indexSetWithIndex(std::size_t index) { return IndexSet{index}; }

    std::size_t count() const { return indexes_.size(); }
    bool isEmpty() const { return indexes_.empty(); }
    // NotFound when empty.
    std::size_t firstIndex() const { return indexes_.empty() ? NotFound : *indexes_.begin(); }

    auto begin() const { return indexes_.begin(); }
    auto end() const { return indexes_.end(); }
    bool operator==(const IndexSet&) const = default;

private:
    std::set<std::size_t> indexes_;
};

} // namespace quillet
