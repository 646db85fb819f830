#pragma once

#include "core/DateFormatter.h"

#include <QDateTime>
#include <QStringList>

namespace quillet {

// Dates into text with one calendar and locale for the whole diary. The two
// formatters are made once and reused (the entry list formats a date per
// visible row); each call sets what it needs before formatting, so neither
// kind of call disturbs the other. Not thread-safe, like the formatters.
class DateTexts {
public:
    // The locale of the user's environment, taken now and kept.
    DateTexts();
    explicit DateTexts(const QString& localeId);

    DateFormatter* dateFormatter() { return &dateFormatter_; }
    DateFormatter* timeFormatter() { return &timeFormatter_; }

    QString stringWithDateFormat(const QString& format, const QDateTime& date);
    // The time of day in the locale's short style, no date part.
    QString stringOfTimeWithSystemFormat(const QDateTime& date);
    QStringList standaloneMonthSymbols() const;
    // The integer of "yyyyMM" for the date in the local time zone (201203).
    static int monthTagForDate(const QDateTime& date);

private:
    DateFormatter dateFormatter_;
    DateFormatter timeFormatter_;
};

} // namespace quillet
