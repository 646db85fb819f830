#include "core/DateFormatter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

#include <string>

namespace quillet {
namespace {

using test::ScopedEnv;
using test::ScopedTimeZone;

std::string format(DateFormatter& formatter, const QString& pattern, const QDateTime& date) {
    formatter.setDateFormat(pattern);
    return formatter.stringFromDate(date).toStdString();
}

QDateTime local(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

// The zone is read at every call: a formatter made before a change of zone
// follows it, and so does one made after.
TEST(DateFormatter, MonthKeysAndTimesFollowTheZoneOfTheMoment) {
    ScopedTimeZone berlin("Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US_POSIX"));
    EXPECT_EQ(format(formatter, "yyyyMMdd", local(2012, 3, 5, 14, 7, 9)), "20120305");
    // The last minute of January in Berlin, an hour earlier in UTC.
    const QDateTime instant =
        QDateTime::fromMSecsSinceEpoch(local(2013, 1, 31, 23, 59).toMSecsSinceEpoch(), Qt::UTC);
    EXPECT_EQ(instant.time(), QTime(22, 59));
    const struct {
        const char* zone;
        const char* month;
        const char* time;
    } zones[] = {{"Europe/Berlin", "201301", "23:59"},
                 {"Asia/Tokyo", "201302", "07:59"},
                 {"America/Los_Angeles", "201301", "14:59"},
                 {"UTC", "201301", "22:59"}};
    for (const auto& z : zones) {
        SCOPED_TRACE(z.zone);
        ScopedTimeZone zone(z.zone);
        EXPECT_EQ(format(formatter, "yyyyMM", instant), z.month);
        EXPECT_EQ(format(formatter, "HH:mm", instant), z.time);
        DateFormatter later(QStringLiteral("en_US_POSIX"));
        EXPECT_EQ(format(later, "HH:mm", instant), z.time);
    }
}

TEST(DateFormatter, RendersPatternsInAmericanEnglish) {
    ScopedTimeZone tz("Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US"));
    const QDateTime date = local(2012, 3, 5, 14, 7, 9);

    const struct {
        const char* pattern;
        const char* text;
    } patterns[] = {{"d", "5"},
                    {"EEE", "Mon"},
                    {"M", "3"},
                    {"yyyy,MMM", "2012,Mar"},
                    {"YYYY/MMM/dd HH:mm:ss", "2012/Mar/05 14:07:09"},
                    {"yyyyMM", "201203"},
                    {"[MMMM d EEE]", "[March 5 Mon]"},
                    {"[yyyy MMMM d]", "[2012 March 5]"},
                    {"hh:mm a", "02:07 PM"}};
    for (const auto& p : patterns)
        EXPECT_EQ(format(formatter, p.pattern, date), p.text) << p.pattern;

    // Going back to an earlier pattern gives its result again, not the last one's.
    EXPECT_EQ(format(formatter, "d", date), "5");

    // Week-based year: the week holding 31 December 2012 belongs to 2013.
    const QDateTime newYearsEve = local(2012, 12, 31, 12, 0);
    EXPECT_EQ(format(formatter, "YYYY", newYearsEve), "2013");
    EXPECT_EQ(format(formatter, "yyyy", newYearsEve), "2012");

    DateFormatter german(QStringLiteral("de_DE"));
    EXPECT_EQ(format(german, "[MMMM d EEE]", date), "[März 5 Mo.]");
    DateFormatter french(QStringLiteral("fr_FR"));
    EXPECT_EQ(format(french, "[yyyy MMMM d]", date), "[2012 mars 5]");
}

TEST(DateFormatter, ShortTimeStyleAndTheLastCallWins) {
    ScopedTimeZone tz("Europe/Berlin");
    const QDateTime date = local(2012, 3, 5, 14, 7, 9);

    DateFormatter american(QStringLiteral("en_US"));
    american.setDateStyle(DateFormatter::Style::None);
    american.setTimeStyle(DateFormatter::Style::Short);
    // A narrow no-break space stands before PM.
    EXPECT_EQ(american.stringFromDate(date), QString::fromUtf8("2:07\u202FPM"));
    EXPECT_EQ(american.dateFormat(), QString::fromUtf8("h:mm\u202Fa"));

    DateFormatter german(QStringLiteral("de_DE"));
    german.setDateFormat(QStringLiteral("yyyy"));
    german.setDateStyle(DateFormatter::Style::None);
    german.setTimeStyle(DateFormatter::Style::Short);
    EXPECT_EQ(german.stringFromDate(date), QStringLiteral("14:07"));
    german.setDateFormat(QStringLiteral("yyyy"));
    EXPECT_EQ(german.stringFromDate(date), QStringLiteral("2012"));
    german.setTimeStyle(DateFormatter::Style::Short);
    EXPECT_EQ(german.stringFromDate(date), QStringLiteral("14:07"));

    // Both styles None, like a fresh formatter, give empty text.
    german.setTimeStyle(DateFormatter::Style::None);
    EXPECT_TRUE(german.stringFromDate(date).isEmpty());
    EXPECT_FALSE(german.stringFromDate(date).isNull());
    DateFormatter fresh(QStringLiteral("de_DE"));
    EXPECT_TRUE(fresh.stringFromDate(date).isEmpty());

    // A copy keeps the settings.
    american.setDateFormat(QStringLiteral("yyyy,MMM"));
    DateFormatter copy(american);
    EXPECT_EQ(copy.stringFromDate(date), QStringLiteral("2012,Mar"));
}

TEST(DateFormatter, MonthSymbols) {
    const QStringList englishWide = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
    const QStringList englishShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QStringList germanWide = {"Januar",    "Februar", "März",     "April",
                                    "Mai",       "Juni",    "Juli",     "August",
                                    "September", "Oktober", "November", "Dezember"};
    const QStringList germanShort = {"Jan.", "Feb.", "März",  "Apr.", "Mai",  "Juni",
                                     "Juli", "Aug.", "Sept.", "Okt.", "Nov.", "Dez."};

    const DateFormatter american(QStringLiteral("en_US"));
    EXPECT_EQ(american.standaloneMonthSymbols().join(','), englishWide.join(','));
    EXPECT_EQ(american.shortMonthSymbols().join(','), englishShort.join(','));

    const DateFormatter german(QStringLiteral("de_DE"));
    EXPECT_EQ(german.standaloneMonthSymbols().join(','), germanWide.join(','));
    EXPECT_EQ(german.shortMonthSymbols().join(','), germanShort.join(','));

    // A locale tag with a hyphen names the same locale.
    EXPECT_EQ(DateFormatter(QStringLiteral("de-DE")).standaloneMonthSymbols().join(','),
              germanWide.join(','));
}

TEST(DateFormatter, InvalidDatesGiveNullStrings) {
    ScopedTimeZone tz("Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US"));
    formatter.setDateFormat(QStringLiteral("yyyyMM"));
    EXPECT_TRUE(formatter.stringFromDate(QDateTime()).isNull());
    EXPECT_TRUE(formatter.stringFromDate(QDateTime(QDate(2012, 2, 30), QTime(0, 0))).isNull());
}

TEST(DateFormatter, UserLocaleComesFromTheEnvironment) {
    // LC_ALL before LC_TIME before LANG; C and POSIX (or nothing) are the POSIX locale.
    const struct {
        std::optional<QByteArray> all, time, lang;
        const char* locale;
        const char* january;
    } environments[] = {
        {std::nullopt, std::nullopt, "de_DE.UTF-8", "de_DE", "Januar"},
        {std::nullopt, "fr_FR.UTF-8@euro", "de_DE.UTF-8", "fr_FR", "janvier"},
        {"C.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", "en_US_POSIX", "January"},
        {"POSIX", "fr_FR.UTF-8", "de_DE.UTF-8", "en_US_POSIX", "January"},
        {"", "fr_FR.UTF-8", "de_DE.UTF-8", "fr_FR", "janvier"},
        {std::nullopt, std::nullopt, std::nullopt, "en_US_POSIX", "January"},
    };
    for (const auto& e : environments) {
        SCOPED_TRACE(e.locale);
        ScopedEnv all("LC_ALL", e.all), time("LC_TIME", e.time), lang("LANG", e.lang);
        EXPECT_EQ(DateFormatter::userLocaleId(), QString::fromLatin1(e.locale));
        EXPECT_EQ(DateFormatter().localeId(), QString::fromLatin1(e.locale));
        EXPECT_EQ(DateFormatter().standaloneMonthSymbols().value(0), QString::fromUtf8(e.january));
    }
}

} // namespace
} // namespace quillet
