#pragma once

namespace quillet {

// Month counts from 1 but is not range-checked: callers step it past 12 or below 1
// and let Calendar carry the excess into the year.
struct DateComponents {
    int year = 0;
    int month = 0;

    bool operator==(const DateComponents&) const = default;
};

} // namespace quillet
