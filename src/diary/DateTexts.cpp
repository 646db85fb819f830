#include "diary/DateTexts.h"

#include "core/Calendar.h"

namespace quillet {

DateTexts::DateTexts() = default;

DateTexts::DateTexts(const QString& localeId)
    : dateFormatter_(localeId), timeFormatter_(localeId) {}

QString DateTexts::stringWithDateFormat(const QString& format, const QDateTime& date) {
    dateFormatter_.setDateFormat(format);
    return dateFormatter_.stringFromDate(date);
}

QString DateTexts::stringOfTimeWithSystemFormat(const QDateTime& date) {
    timeFormatter_.setDateStyle(DateFormatter::Style::None);
    timeFormatter_.setTimeStyle(DateFormatter::Style::Short);
    return timeFormatter_.stringFromDate(date);
}

QStringList DateTexts::standaloneMonthSymbols() const {
    return dateFormatter_.standaloneMonthSymbols();
}

int DateTexts::monthTagForDate(const QDateTime& date) {
    // The number "yyyyMM" stands for, taken from the calendar: the formatted
    // text uses the locale's own digits, which do not always read back as a number.
    const DateComponents c = Calendar::currentCalendar().components(date);
    return c.year * 100 + c.month;
}

} // namespace quillet
