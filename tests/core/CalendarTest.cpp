#include "core/Calendar.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

#include <ostream>
#include <string>

namespace quillet {

static void PrintTo(const DateComponents& components, std::ostream* out) {
    *out << components.year << "-" << components.month;
}

namespace {

using test::ScopedTimeZone;

QDateTime utc(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

// Readable in failure messages, and independent of the zone Qt caches for local dates.
std::string inUtc(const QDateTime& date) {
    return date.toUTC().toString(Qt::ISODate).toStdString();
}

TEST(Calendar, ComponentsAreTakenInTheLocalZone) {
    ScopedTimeZone zone("Europe/Berlin");
    const Calendar calendar = Calendar::currentCalendar();

    EXPECT_EQ(calendar.components(QDateTime(QDate(2012, 3, 5), QTime(14, 7, 9))),
              (DateComponents{2012, 3}));

    // 31 January 2013, 23:59 in Berlin.
    const QDateTime lastMinute = utc(2013, 1, 31, 22, 59);
    EXPECT_EQ(calendar.components(lastMinute), (DateComponents{2013, 1}));
    EXPECT_EQ(calendar.components(utc(2013, 1, 31, 23, 0)), (DateComponents{2013, 2}));

    // The same calendar follows a later change of zone.
    {
        ScopedTimeZone tokyo("Asia/Tokyo");
        EXPECT_EQ(calendar.components(lastMinute), (DateComponents{2013, 2}));
    }
    ScopedTimeZone newYork("America/New_York");
    EXPECT_EQ(calendar.components(lastMinute), (DateComponents{2013, 1}));
    EXPECT_EQ(calendar.components(utc(2013, 1, 1, 3, 0)), (DateComponents{2012, 12}));
    EXPECT_EQ(calendar.components(QDateTime()), (DateComponents{0, 0}));
}

TEST(Calendar, MonthsOutsideTheYearCarryOver) {
    ScopedTimeZone zone("Europe/Berlin");
    const Calendar calendar = Calendar::currentCalendar();

    struct Case {
        DateComponents components;
        QDate firstDay;
    };
    const Case cases[] = {
        {{2012, 1}, QDate(2012, 1, 1)},    {{2012, 12}, QDate(2012, 12, 1)},
        {{2012, 13}, QDate(2013, 1, 1)},   {{2012, 0}, QDate(2011, 12, 1)},
        {{2012, -1}, QDate(2011, 11, 1)},  {{2012, 26}, QDate(2014, 2, 1)},
        {{2012, 14}, QDate(2013, 2, 1)},   {{2012, -11}, QDate(2011, 1, 1)},
        {{2012, -12}, QDate(2010, 12, 1)}, {{2012, 25}, QDate(2014, 1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.components.year << "-" << c.components.month);
        const QDateTime date = calendar.dateFromComponents(c.components);
        ASSERT_TRUE(date.isValid());
        EXPECT_EQ(inUtc(date), inUtc(QDateTime(c.firstDay, QTime(0, 0))));
        const DateComponents back = calendar.components(date);
        EXPECT_EQ(back, (DateComponents{c.firstDay.year(), c.firstDay.month()}));
    }
}

TEST(Calendar, MidnightFollowsTheZoneOfTheMoment) {
    const Calendar calendar = Calendar::currentCalendar();
    const struct {
        const char* zone;
        const char* midnight;
    } zones[] = {{"Europe/Berlin", "2012-02-29T23:00:00Z"},
                 {"Asia/Tokyo", "2012-02-29T15:00:00Z"},
                 {"America/New_York", "2012-03-01T05:00:00Z"},
                 {"UTC", "2012-03-01T00:00:00Z"}};
    for (const auto& z : zones) {
        ScopedTimeZone zone(z.zone);
        EXPECT_EQ(inUtc(calendar.dateFromComponents({2012, 3})), z.midnight) << z.zone;
    }
}

} // namespace
} // namespace quillet
