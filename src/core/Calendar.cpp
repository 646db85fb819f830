#include "core/Calendar.h"

#include "core/SystemTimeZone.h"

#include <limits>
#include <memory>

#include <unicode/gregocal.h>

namespace quillet {

namespace {

// Building an ICU calendar costs more than using one, and list views ask for every row,
// so each thread keeps one and only re-zones it when the system zone has changed.
icu::GregorianCalendar* threadCalendar() {
    thread_local std::unique_ptr<icu::GregorianCalendar> calendar;
    thread_local std::shared_ptr<const icu::TimeZone> zone;

    std::shared_ptr<const icu::TimeZone> now = SystemTimeZone::current();
    if (!calendar) {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::GregorianCalendar>(*now, status);
        if (U_FAILURE(status)) {
            return nullptr;
        }
        made->setLenient(true);
        calendar = std::move(made);
        zone = std::move(now);
    } else if (now != zone) {
        calendar->setTimeZone(*now);
        zone = std::move(now);
    }
    return calendar.get();
}

} // namespace

Calendar Calendar::currentCalendar() {
    return Calendar();
}

DateComponents Calendar::components(const QDateTime& date) const {
    icu::GregorianCalendar* calendar = date.isValid() ? threadCalendar() : nullptr;
    if (!calendar) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(static_cast<UDate>(date.toMSecsSinceEpoch()), status);
    // The extended year runs on through 0 and below instead of flipping the era.
    const int year = calendar->get(UCAL_EXTENDED_YEAR, status);
    const int month = calendar->get(UCAL_MONTH, status);
    if (U_FAILURE(status)) {
        return {};
    }
    return {year, month + 1};
}

QDateTime Calendar::dateFromComponents(const DateComponents& components) const {
    icu::GregorianCalendar* calendar = threadCalendar();
    if (!calendar || components.month == std::numeric_limits<int>::min()) {
        return {};
    }
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, components.year);
    // ICU counts months from 0; leniency carries any excess into the year.
    calendar->set(UCAL_MONTH, components.month - 1);
    calendar->set(UCAL_DATE, 1);
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = calendar->getTime(status);
    if (U_FAILURE(status)) {
        return {};
    }
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(millis));
}

} // namespace quillet
