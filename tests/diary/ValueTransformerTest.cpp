#include "Entries.h"
#include "TestSupport.h"

#include "core/Bundle.h"
#include "diary/Utility.h"
#include "diary/transformers/DateToDayTransformer.h"
#include "diary/transformers/DateToMonthIndexTransformer.h"
#include "diary/transformers/DateToMonthTransformer.h"
#include "diary/transformers/DateToStringTransformer.h"
#include "diary/transformers/DateToTimeTransformer.h"
#include "diary/transformers/DateToWeekTransformer.h"
#include "diary/transformers/DateToYearIndexTransformer.h"
#include "diary/transformers/ObjectValueToNotFirstOfDayTransformer.h"
#include "diary/transformers/SearchActivityTransformer.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/SortDescriptor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace quillet;
using quillet::test::ScopedTimeZone;

namespace {

QVariant transform(const char* name, const QVariant& value) {
    const auto transformer = ValueTransformer::valueTransformerForName(QString::fromLatin1(name));
    EXPECT_NE(transformer, nullptr) << name;
    return transformer ? transformer->transformedValue(value) : QVariant();
}

QDateTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

TEST(DateTransformers, RenderTheFifthOfMarch2012InEnglish) {
    ScopedTimeZone tz("Europe/Berlin");
    const QVariant date = at(2012, 3, 5, 14, 7, 9);
    EXPECT_EQ(transform("DateToDayTransformer", date).toString(), QStringLiteral("5"));
    EXPECT_EQ(transform("DateToWeekTransformer", date).toString(), QStringLiteral("Mon"));
    EXPECT_EQ(transform("DateToMonthTransformer", date).toString(), QStringLiteral("2012,Mar"));
    EXPECT_EQ(transform("DateToMonthIndexTransformer", date).toInt(), 2);
    EXPECT_EQ(transform("DateToYearIndexTransformer", date).toInt(), 22);
    EXPECT_EQ(transform("DateToStringTransformer", date).toString(),
              QStringLiteral("2012/Mar/05 14:07:09"));
    // The short time style; newer locale data puts a narrow space before PM.
    QString time = transform("DateToTimeTransformer", date).toString();
    time.replace(QChar(0x202F), QLatin1Char(' '));
    EXPECT_EQ(time, QStringLiteral("2:07 PM"));

    // No date, no text: the list shows an empty field rather than a made-up date.
    for (const char* name :
         {"DateToDayTransformer", "DateToWeekTransformer", "DateToTimeTransformer",
          "DateToMonthTransformer", "DateToMonthIndexTransformer", "DateToYearIndexTransformer",
          "DateToStringTransformer"}) {
        EXPECT_FALSE(transform(name, QVariant()).isValid()) << name;
        EXPECT_FALSE(transform(name, QDateTime()).isValid()) << name;
    }
}

TEST(DateTransformers, UseTheCalendarYearAtTheTurnOfTheYear) {
    ScopedTimeZone tz("Europe/Berlin");
    // In week-based numbering 31 December 2012 already belongs to 2013.
    const QVariant newYearsEve = at(2012, 12, 31, 23, 30, 0);
    EXPECT_EQ(transform("DateToStringTransformer", newYearsEve).toString(),
              QStringLiteral("2012/Dec/31 23:30:00"));
    EXPECT_EQ(transform("DateToYearIndexTransformer", newYearsEve).toInt(), 22);
    EXPECT_EQ(transform("DateToMonthIndexTransformer", newYearsEve).toInt(), 11);
    EXPECT_EQ(transform("DateToMonthTransformer", newYearsEve).toString(),
              QStringLiteral("2012,Dec"));

    EXPECT_EQ(transform("DateToYearIndexTransformer", at(1989, 6, 1, 12, 0)).toInt(), -1);
    EXPECT_EQ(transform("DateToYearIndexTransformer", at(1990, 1, 1, 0, 0)).toInt(), 0);
    EXPECT_EQ(transform("DateToMonthIndexTransformer", at(2020, 1, 1, 0, 0)).toInt(), 0);

    // The local day decides: 23:30 UTC on 4 March is already the 5th in Berlin.
    const QDateTime utc(QDate(2012, 3, 4), QTime(23, 30), Qt::UTC);
    EXPECT_EQ(transform("DateToDayTransformer", utc).toString(), QStringLiteral("5"));
}

TEST(ValueTransformer, ReadsTheIntegerABoundValueStandsFor) {
    // Tags reach the image transformers as numbers or as the text of a field.
    EXPECT_EQ(ValueTransformer::intValue(5), 5);
    EXPECT_EQ(ValueTransformer::intValue(2.7), 2);
    EXPECT_EQ(ValueTransformer::intValue(-2.7), -2);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral(" 3")), 3);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral("-2")), -2);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral("12abc")), 12);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral("abc")), 0);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral("99999999999")), INT_MAX);
    EXPECT_EQ(ValueTransformer::intValue(QStringLiteral("-99999999999")), INT_MIN);
    EXPECT_EQ(ValueTransformer::intValue(1e12), INT_MAX);
    EXPECT_EQ(ValueTransformer::intValue(qlonglong(-1e12)), INT_MIN);
    EXPECT_EQ(ValueTransformer::intValue(std::nan("")), 0);
    EXPECT_EQ(ValueTransformer::intValue(QVariant()), 0);
}

TEST(SearchActivityTransformer, IsTrueOnlyForAnEmptySearch) {
    // The window's search field is a line edit; its "text" property is all this reads.
    auto* field = new QObject;
    SearchActivityTransformer transformer(field);
    EXPECT_TRUE(transformer.transformedValue(QVariant()).toBool());
    field->setProperty("text", QStringLiteral(" "));
    EXPECT_FALSE(transformer.transformedValue(QVariant()).toBool());
    field->setProperty("text", QStringLiteral("walk"));
    EXPECT_FALSE(transformer.transformedValue(QStringLiteral("ignored")).toBool());
    // A transformer that outlives its field answers as for no search.
    delete field;
    EXPECT_EQ(transformer.searchField(), nullptr);
    EXPECT_TRUE(transformer.transformedValue(QVariant()).toBool());
}

TEST(ObjectValueToNotFirstOfDayTransformer, HidesTheHeaderOfLaterEntriesOfADay) {
    ScopedTimeZone tz("Europe/Berlin");
    ManagedObjectContext context;
    ArrayController list;
    list.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    list.setManagedObjectContext(&context);
    const auto add = [&](int day, int hour, int minute) {
        return test::addEntry(context, at(2012, 3, day, hour, minute), QStringLiteral("text"));
    };
    ManagedObject* nextMorning = add(6, 0, 1);
    ManagedObject* lateEvening = add(5, 23, 59);
    ManagedObject* afternoon = add(5, 14, 7);
    ManagedObject* morning = add(5, 9, 30);
    list.processPendingChanges();
    list.rearrangeObjects();
    ASSERT_EQ(list.count(), 4u);
    ASSERT_EQ(list.objectAtIndex(0), nextMorning);

    ObjectValueToNotFirstOfDayTransformer transformer(&list);
    auto notFirst = [&](ManagedObject* entry) {
        return transformer.transformedValue(QVariant::fromValue(entry));
    };
    EXPECT_FALSE(notFirst(nextMorning).toBool()); // first of the list
    EXPECT_FALSE(notFirst(lateEvening).toBool()); // 23:59 after 00:01 of the next day
    EXPECT_TRUE(notFirst(afternoon).toBool());
    EXPECT_TRUE(notFirst(morning).toBool());
    EXPECT_TRUE(transformer.isEntryFirstOfDay(lateEvening));

    // Neighbours in list order decide: with the evening entry gone, the
    // afternoon entry opens the 5th.
    context.deleteObject(lateEvening);
    ASSERT_EQ(list.count(), 3u);
    EXPECT_FALSE(notFirst(afternoon).toBool());
    EXPECT_FALSE(notFirst(lateEvening).toBool()); // not listed any more
    EXPECT_FALSE(notFirst(nullptr).toBool());
}

// The stateless date transformers are looked up by name in the tests above.
TEST(ValueTransformerRegistry, KeepsRegisteredTransformersByName) {
    // The live ones exist only once registered.
    const QString name = QStringLiteral("SearchActivityTransformer");
    ValueTransformer::setValueTransformer(nullptr, name);
    EXPECT_EQ(ValueTransformer::valueTransformerForName(name), nullptr);
    EXPECT_EQ(ValueTransformer::valueTransformerForName(QStringLiteral("NoSuchTransformer")),
              nullptr);
    auto registered = std::make_shared<SearchActivityTransformer>(nullptr);
    ValueTransformer::setValueTransformer(registered, name);
    EXPECT_EQ(ValueTransformer::valueTransformerForName(name), registered);
    ValueTransformer::setValueTransformer(nullptr, name);
    EXPECT_EQ(ValueTransformer::valueTransformerForName(name), nullptr);
}
