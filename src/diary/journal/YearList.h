#pragma once

namespace quillet {

// The first year of the year list: row i of the list stands for year
// kFirstListedYear + i.
inline constexpr int kFirstListedYear = 1990;

} // namespace quillet
