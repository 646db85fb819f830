#include "core/SystemTimeZone.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace quillet {

namespace {

struct DetectedZone {
    bool detected = false;
    bool tzSet = false;
    std::string tz;
    std::shared_ptr<const icu::TimeZone> zone;
};

} // namespace

std::shared_ptr<const icu::TimeZone> SystemTimeZone::current() {
    static std::mutex mutex;
    static DetectedZone cache;

    const std::lock_guard lock(mutex);
    // getenv is a short scan of the environment; it runs for every formatted row, the
    // detection below (which reads /etc/localtime) only when TZ has changed.
    const char* tz = std::getenv("TZ");
    const bool tzSet = tz != nullptr;
    if (cache.detected && cache.tzSet == tzSet && (!tzSet || cache.tz == tz)) {
        return cache.zone;
    }

    std::unique_ptr<icu::TimeZone> detected(icu::TimeZone::detectHostTimeZone());
    if (!detected) {
        detected.reset(icu::TimeZone::getGMT()->clone());
    }
    // Keep ICU's own default in step, for any ICU code that does not ask us.
    icu::TimeZone::setDefault(*detected);

    cache.detected = true;
    cache.tzSet = tzSet;
    cache.tz = tzSet ? tz : "";
    cache.zone = std::shared_ptr<const icu::TimeZone>(std::move(detected));
    return cache.zone;
}

} // namespace quillet
