#include "Entries.h"
#include "TestSupport.h"

#include "diary/Utility.h"
#include "diary/transformers/ObjectValueToNotFirstOfDayTransformer.h"
#include "diary/transformers/SearchActivityTransformer.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/SortDescriptor.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/journal/EntryRowDelegate.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <cstdlib>

using namespace quillet;
using quillet::test::ScopedTimeZone;

using test::addEntry;

TEST(EntryRowDelegate, ShowsTheDayOnTheFirstEntryOfEachDayAndTheStripOfItsTag) {
    ScopedTimeZone tz("Europe/Berlin");
    ManagedObjectContext context;
    ArrayController list;
    list.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    list.setManagedObjectContext(&context);
    addEntry(context, QDateTime(QDate(2012, 3, 6), QTime(8, 5)), QStringLiteral("Three"), 1);
    addEntry(context, QDateTime(QDate(2012, 3, 5), QTime(14, 7)),
             QStringLiteral("\n  Two\nsecond line"), 4);
    addEntry(context, QDateTime(QDate(2012, 3, 5), QTime(9, 30)), QString(), 0);
    list.processPendingChanges();
    list.rearrangeObjects();
    ASSERT_EQ(list.count(), 3u);
    ValueTransformer::setValueTransformer(
        std::make_shared<ObjectValueToNotFirstOfDayTransformer>(&list),
        QStringLiteral("ObjectValueToNotFirstOfDayTransformer"));

    EXPECT_TRUE(EntryRowDelegate::showsDayHeader(list.objectAtIndex(0)));
    EXPECT_TRUE(EntryRowDelegate::showsDayHeader(list.objectAtIndex(1)));
    EXPECT_FALSE(EntryRowDelegate::showsDayHeader(list.objectAtIndex(2)));
    EXPECT_EQ(EntryRowDelegate::titleOfEntry(list.objectAtIndex(0)), QStringLiteral("Three"));
    EXPECT_EQ(EntryRowDelegate::titleOfEntry(list.objectAtIndex(1)), QStringLiteral("Two"));
    EXPECT_EQ(EntryRowDelegate::titleOfEntry(list.objectAtIndex(2)), QString());

    QListView view;
    EntryRowDelegate delegate(Utility::sharedUtility());
    view.setItemDelegate(&delegate);
    view.setModel(&list);
    view.resize(300, 200);
    view.show();
    EXPECT_EQ(view.visualRect(list.index(1)).height(), EntryRowDelegate::kRowHeight);
    const QImage drawn = view.viewport()->grab().toImage();
    // The left edge of each row is its tag's strip, drawn at its own size in the middle of the row.
    for (int row = 0; row < 3; ++row) {
        const QRect rect = view.visualRect(list.index(row));
        const int tag = list.objectAtIndex(std::size_t(row))->colorTag();
        const QImage strip =
            ImageLibrary::imageNamed(QStringLiteral("basic_cell_%1.png").arg(tag)).toImage();
        ASSERT_FALSE(strip.isNull());
        const QPoint middle(rect.left() + 2, rect.center().y());
        // Within rounding of the strip's edge shading over the row's background.
        const QColor shown(drawn.pixel(middle));
        const QColor expected(strip.pixel(2, strip.height() / 2));
        EXPECT_LE(std::abs(shown.red() - expected.red()) +
                      std::abs(shown.green() - expected.green()) +
                      std::abs(shown.blue() - expected.blue()),
                  6)
            << "row " << row;
    }
    ValueTransformer::setValueTransformer(nullptr,
                                          QStringLiteral("ObjectValueToNotFirstOfDayTransformer"));
    view.setItemDelegate(nullptr);
}

TEST(EntryRowDelegate, SearchResultsShowTheMonthAndYearOfEachRow) {
    ScopedTimeZone tz("Europe/Berlin");
    ManagedObjectContext context;
    ArrayController list;
    list.setSortDescriptors({SortDescriptor(QStringLiteral("timeStamp"), false)});
    list.setManagedObjectContext(&context);
    addEntry(context, QDateTime(QDate(2012, 3, 5), QTime(14, 7)), QStringLiteral("Spring"), 2);
    // Late on New Year's Eve in Berlin, already 2012 in UTC.
    addEntry(context, QDateTime(QDate(2011, 12, 31), QTime(23, 30)), QStringLiteral("Winter"), 5);
    list.processPendingChanges();
    list.rearrangeObjects();
    ASSERT_EQ(list.count(), 2u);

    // No search field known: the list shows one month.
    ValueTransformer::setValueTransformer(nullptr, QStringLiteral("SearchActivityTransformer"));
    EXPECT_EQ(EntryRowDelegate::monthOfSearchResult(list.objectAtIndex(0)), QString());

    QLineEdit searchField;
    ValueTransformer::setValueTransformer(std::make_shared<SearchActivityTransformer>(&searchField),
                                          QStringLiteral("SearchActivityTransformer"));
    QListView view;
    EntryRowDelegate delegate(Utility::sharedUtility());
    view.setItemDelegate(&delegate);
    view.setModel(&list);
    view.resize(320, 200);
    view.show();
    // Whether anything is drawn at the right end of the row's lower line, where
    // the time leaves room; nothing is there while the list shows one month.
    const auto inkAtTheRightOfTheTime = [&](int row) {
        const QImage drawn = view.viewport()->grab().toImage();
        const QRect rect = view.visualRect(list.index(row));
        const QRect area(rect.left() + rect.width() * 2 / 3, rect.center().y() + 2,
                         rect.width() / 3 - 2, rect.bottom() - rect.center().y() - 4);
        const QRgb background = drawn.pixel(area.topLeft());
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                ink += drawn.pixel(x, y) != background ? 1 : 0;
            }
        }
        return ink;
    };

    EXPECT_EQ(EntryRowDelegate::monthOfSearchResult(list.objectAtIndex(0)), QString());
    EXPECT_EQ(inkAtTheRightOfTheTime(0), 0);
    EXPECT_EQ(inkAtTheRightOfTheTime(1), 0);

    searchField.setText(QStringLiteral("n"));
    EXPECT_EQ(EntryRowDelegate::monthOfSearchResult(list.objectAtIndex(0)),
              QStringLiteral("2012,Mar"));
    EXPECT_EQ(EntryRowDelegate::monthOfSearchResult(list.objectAtIndex(1)),
              QStringLiteral("2011,Dec"));
    EXPECT_EQ(EntryRowDelegate::monthOfSearchResult(nullptr), QString());
    EXPECT_GT(inkAtTheRightOfTheTime(0), 0);
    EXPECT_GT(inkAtTheRightOfTheTime(1), 0);

    searchField.clear();
    EXPECT_EQ(inkAtTheRightOfTheTime(0), 0);

    ValueTransformer::setValueTransformer(nullptr, QStringLiteral("SearchActivityTransformer"));
    view.setItemDelegate(nullptr);
}
