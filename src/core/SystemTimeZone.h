#pragma once

#include <memory>

#include <unicode/timezone.h>

namespace quillet {

// The zone the user is in right now, as ICU sees it. ICU detects the host zone once and
// caches it; this re-detects whenever the TZ environment variable has changed since the
// last call, so a process (or a test) that changes TZ gets dates in the new zone.
class SystemTimeZone {
public:
    // Returns the same object as long as TZ is unchanged, so callers can compare
    // pointers to learn whether the zone they configured earlier is still current.
    static std::shared_ptr<const icu::TimeZone> current();
};

} // namespace quillet
