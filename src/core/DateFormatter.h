#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

namespace quillet {

// Turns dates into text with Unicode (TR35) patterns or the locale's own styles, in the
// Gregorian calendar and the system time zone at the moment of formatting.
// Not thread-safe: give each thread its own formatter.
class DateFormatter {
public:
    enum class Style { None, Short };

    // Uses the locale of the user's environment (see userLocaleId).
    DateFormatter();
    // Takes ICU ids such as "de_DE" or BCP 47 tags such as "de-DE".
    explicit DateFormatter(const QString& localeId);
    // Copies the settings; the copy builds its own ICU formatters on first use.
    DateFormatter(const DateFormatter& other);
    DateFormatter& operator=(const DateFormatter& other);
    ~DateFormatter();

    // From LC_ALL, then LC_TIME, then LANG, without codeset and modifier
    // ("de_DE.UTF-8" gives "de_DE"); "C", "POSIX" or nothing give "en_US_POSIX".
    static QString userLocaleId();
    QString localeId() const;

    // The last of setDateFormat and setDateStyle/setTimeStyle decides how dates are
    // formatted. In style mode dateFormat() returns the pattern the styles stand for.
    void setDateFormat(const QString& pattern);
    QString dateFormat() const;
    void setDateStyle(Style style);
    Style dateStyle() const;
    void setTimeStyle(Style style);
    Style timeStyle() const;

    // Null for an invalid date or a pattern that ICU rejects.
    QString stringFromDate(const QDateTime& date);

    // The twelve stand-alone wide names ("January", "Januar").
    QStringList standaloneMonthSymbols() const;
    // The twelve abbreviated names as used inside a date ("Jan", "Jan.").
    QStringList shortMonthSymbols() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace quillet
