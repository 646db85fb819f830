#include "core/DateFormatter.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace quillet {
namespace {

// Sets an environment variable for one test and puts the previous value back, so tests
// do not depend on the machine's zone and locale or on each other.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_previous = old;
        }
        set(value);
    }
    ~ScopedEnv() { set(m_previous ? m_previous->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const char* value) {
        if (value) {
            setenv(m_name.c_str(), value, 1);
        } else {
            unsetenv(m_name.c_str());
        }
        tzset();
    }

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

std::string format(DateFormatter& formatter, const QString& pattern, const QDateTime& date) {
    formatter.setDateFormat(pattern);
    return formatter.stringFromDate(date).toStdString();
}

QDateTime local(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

TEST(DateFormatter, MonthKeysFollowTheLocalZone) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US_POSIX"));

    EXPECT_EQ(format(formatter, "yyyyMM", local(2012, 3, 5, 14, 7, 9)), "201203");
    EXPECT_EQ(format(formatter, "yyyyMMdd", local(2012, 3, 5, 14, 7, 9)), "20120305");

    const QDateTime lastMinute = local(2013, 1, 31, 23, 59);
    const QDateTime instant =
        QDateTime::fromMSecsSinceEpoch(lastMinute.toMSecsSinceEpoch(), Qt::UTC);
    EXPECT_EQ(instant.time(), QTime(22, 59));
    EXPECT_EQ(format(formatter, "yyyyMM", instant), "201301");

    tz.set("Asia/Tokyo");
    EXPECT_EQ(formatter.stringFromDate(instant).toStdString(), "201302");
    tz.set("America/New_York");
    EXPECT_EQ(formatter.stringFromDate(instant).toStdString(), "201301");
}

TEST(DateFormatter, RendersPatternsInAmericanEnglish) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US"));
    const QDateTime date = local(2012, 3, 5, 14, 7, 9);

    EXPECT_EQ(format(formatter, "d", date), "5");
    EXPECT_EQ(format(formatter, "EEE", date), "Mon");
    EXPECT_EQ(format(formatter, "M", date), "3");
    EXPECT_EQ(format(formatter, "yyyy,MMM", date), "2012,Mar");
    EXPECT_EQ(format(formatter, "YYYY/MMM/dd HH:mm:ss", date), "2012/Mar/05 14:07:09");
    EXPECT_EQ(format(formatter, "yyyyMM", date), "201203");
    EXPECT_EQ(format(formatter, "[MMMM d EEE]", date), "[March 5 Mon]");
    EXPECT_EQ(format(formatter, "[yyyy MMMM d]", date), "[2012 March 5]");
    EXPECT_EQ(format(formatter, "hh:mm a", date), "02:07 PM");
    EXPECT_EQ(formatter.dateFormat(), QStringLiteral("hh:mm a"));

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
    ScopedEnv tz("TZ", "Europe/Berlin");
    const QDateTime date = local(2012, 3, 5, 14, 7, 9);

    DateFormatter american(QStringLiteral("en_US"));
    american.setDateStyle(DateFormatter::Style::None);
    american.setTimeStyle(DateFormatter::Style::Short);
    // A narrow no-break space stands before PM.
    EXPECT_EQ(american.stringFromDate(date), QString::fromUtf8("2:07\u202FPM"));
    EXPECT_EQ(american.dateFormat(), QString::fromUtf8("h:mm\u202Fa"));
    EXPECT_EQ(american.timeStyle(), DateFormatter::Style::Short);

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

TEST(DateFormatter, PicksUpAChangeOfZoneBetweenTwoCalls) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US_POSIX"));
    formatter.setDateFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QDateTime instant(QDate(2012, 3, 5), QTime(13, 7), Qt::UTC);

    EXPECT_EQ(formatter.stringFromDate(instant), QStringLiteral("2012-03-05 14:07"));
    tz.set("Asia/Tokyo");
    EXPECT_EQ(formatter.stringFromDate(instant), QStringLiteral("2012-03-05 22:07"));
    tz.set("America/Los_Angeles");
    EXPECT_EQ(formatter.stringFromDate(instant), QStringLiteral("2012-03-05 05:07"));
    tz.set("UTC");
    EXPECT_EQ(formatter.stringFromDate(instant), QStringLiteral("2012-03-05 13:07"));
    tz.set("Europe/Berlin");
    EXPECT_EQ(formatter.stringFromDate(instant), QStringLiteral("2012-03-05 14:07"));

    // A formatter made later sees the zone of the moment too.
    tz.set("Asia/Tokyo");
    DateFormatter later(QStringLiteral("en_US_POSIX"));
    later.setDateFormat(QStringLiteral("HH:mm"));
    EXPECT_EQ(later.stringFromDate(instant), QStringLiteral("22:07"));
}

TEST(DateFormatter, InvalidDatesGiveNullStrings) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    DateFormatter formatter(QStringLiteral("en_US"));
    formatter.setDateFormat(QStringLiteral("yyyyMM"));
    EXPECT_TRUE(formatter.stringFromDate(QDateTime()).isNull());
    EXPECT_TRUE(formatter.stringFromDate(QDateTime(QDate(2012, 2, 30), QTime(0, 0))).isNull());
}

TEST(DateFormatter, UserLocaleComesFromTheEnvironment) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv time("LC_TIME", nullptr);
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("de_DE"));
    EXPECT_EQ(DateFormatter().standaloneMonthSymbols().value(0), QStringLiteral("Januar"));
    EXPECT_EQ(DateFormatter().localeId(), QStringLiteral("de_DE"));

    time.set("fr_FR.UTF-8@euro");
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("fr_FR"));
    EXPECT_EQ(DateFormatter().standaloneMonthSymbols().value(0), QStringLiteral("janvier"));

    all.set("C.UTF-8");
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("en_US_POSIX"));
    all.set("POSIX");
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("en_US_POSIX"));
    all.set("");
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("fr_FR"));

    all.set(nullptr);
    time.set(nullptr);
    lang.set(nullptr);
    EXPECT_EQ(DateFormatter::userLocaleId(), QStringLiteral("en_US_POSIX"));
    EXPECT_EQ(DateFormatter().standaloneMonthSymbols().value(0), QStringLiteral("January"));
}

} // namespace
} // namespace quillet
