#pragma once

#include "core/DateComponents.h"

#include <QDateTime>

namespace quillet {

// The Gregorian calendar in the system time zone. The zone is looked up on every call,
// not when the calendar is made, so a calendar kept across a change of TZ follows it.
class Calendar {
public:
    static Calendar currentCalendar();

    // An invalid date gives year 0 and month 0.
    DateComponents components(const QDateTime& date) const;

    // Local midnight on the first of the month. Months outside 1...12 carry into the
    // year (13 of 2012 is January 2013, 0 is December 2011). A failure gives a null date.
    QDateTime dateFromComponents(const DateComponents& components) const;

private:
    Calendar() = default;
};

} // namespace quillet
