#include "diary/journal/JournalFilter.h"
#include "Entries.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "diary/Utility.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The list's filter on a diary in memory, as the window drives it: the
// search text is read at every reload, month tags come from the calendar.
class JournalFilterTest : public ::testing::Test {
protected:
    JournalFilterTest()
        : tz("Europe/Berlin"),
          filter(
              &list,
              [](const QDateTime& date) { return Utility::sharedUtility()->monthTagForDate(date); },
              [this] { return search; }) {
        list.setManagedObjectContext(&context);
        list.setSortDescriptors(filter.currSortDescriptors());
        filter.initMonthPanelSelection();
        filter.reloadData();
    }

    ManagedObject* add(const QDateTime& when, const QString& text, int color = 0) {
        return test::addEntry(context, when, text, color);
    }
    // What typing into the search field does: the text changes, the list reloads.
    void setSearch(const QString& text) {
        search = text;
        filter.reloadData();
    }
    std::vector<QString> listed() {
        QCoreApplication::processEvents();
        std::vector<QString> texts;
        for (ManagedObject* e : list.arrangedObjects()) {
            texts.push_back(e->entryText());
        }
        return texts;
    }

    test::ScopedTimeZone tz;
    test::ScopedNow now{QDateTime(QDate(2012, 3, 15), QTime(10, 0))};
    QString search;
    ManagedObjectContext context;
    ArrayController list;
    JournalFilter filter;
};

// The month, the color filter and the escaped search text are shown by what
// is listed (below); here a search with a color filter.
TEST_F(JournalFilterTest, PredicateTextOfASearchWithAColorFilter) {
    filter.setColorFilter(3);
    setSearch(QStringLiteral("x"));
    EXPECT_EQ(filter.currPredicateFormat(),
              QStringLiteral("entryText contains[cd] \"x\" AND colorTag = 3"));
    // A negative filter is ignored while searching.
    filter.setColorFilter(-1);
    EXPECT_EQ(filter.currPredicateFormat(), QStringLiteral("entryText contains[cd] \"x\""));
    filter.setColorFilter(std::nullopt);
    setSearch(QStringLiteral("100% [sure] 'quoted'"));
    EXPECT_TRUE(Predicate::parse(filter.currPredicateFormat()).has_value());
}

TEST_F(JournalFilterTest, ListsTheMonthOrTheSearchAcrossAllMonthsNewestFirst) {
    add(QDateTime(QDate(2012, 3, 5), QTime(9, 30)), QStringLiteral("One été"));
    add(QDateTime(QDate(2012, 3, 6), QTime(8, 5)), QStringLiteral("Three"), 2);
    add(QDateTime(QDate(2012, 3, 5), QTime(14, 7)), QStringLiteral("Two ETE"));
    add(QDateTime(QDate(2011, 12, 24), QTime(20, 0)), QStringLiteral("Christmas a\"b\\c ete"));
    add(QDateTime(QDate(2013, 1, 2), QTime(7, 0)), QStringLiteral("New year"), 2);
    filter.reloadData();
    EXPECT_EQ(listed(), (std::vector<QString>{QStringLiteral("Three"), QStringLiteral("Two ETE"),
                                              QStringLiteral("One été")}));

    setSearch(QStringLiteral("Ete"));
    EXPECT_EQ(listed(), (std::vector<QString>{QStringLiteral("Two ETE"), QStringLiteral("One été"),
                                              QStringLiteral("Christmas a\"b\\c ete")}));
    setSearch(QStringLiteral("A\"B\\C"));
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Christmas a\"b\\c ete")});
    setSearch(QString());

    filter.setColorTagSelectionIndexs(IndexSet{2});
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Three")});
    filter.setColorTagSelectionIndexs(IndexSet{0});
    EXPECT_EQ(listed().size(), 3u);
    filter.setColorFilter(-1);
    filter.reloadData();
    EXPECT_TRUE(listed().empty());
    filter.setColorFilter(0);

    filter.setCurrentMonth(DateComponents{2012, 0});
    filter.reloadData();
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Christmas a\"b\\c ete")});
    filter.setCurrentMonth(DateComponents{2012, 13});
    filter.reloadData();
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("New year")});
}

TEST_F(JournalFilterTest, ReloadKeepsOrMakesASelection) {
    ManagedObject* older = add(QDateTime(QDate(2012, 3, 1), QTime(9, 0)), QStringLiteral("older"));
    add(QDateTime(QDate(2012, 3, 9), QTime(9, 0)), QStringLiteral("newer"));
    filter.reloadData();
    EXPECT_EQ(list.selectionIndex(), 0u) << "the newest entry is selected";
    list.setSelectionIndex(1);
    filter.reloadData();
    EXPECT_EQ(list.selectedObject(), older) << "an existing selection stays";
    filter.setCurrentMonth(DateComponents{2012, 4});
    filter.reloadData();
    EXPECT_EQ(list.selectionIndex(), IndexSet::NotFound);
}

TEST_F(JournalFilterTest, SteppingMonthsAndYearsAcrossYearEnds) {
    add(QDateTime(QDate(2013, 1, 20), QTime(9, 0)), QStringLiteral("January 2013"));
    add(QDateTime(QDate(2013, 2, 20), QTime(9, 0)), QStringLiteral("February 2013"));
    add(QDateTime(QDate(2011, 12, 20), QTime(9, 0)), QStringLiteral("December 2011"));
    add(QDateTime(QDate(2021, 12, 20), QTime(9, 0)), QStringLiteral("December 2021"));
    filter.setCurrentMonth(DateComponents{2012, 12});
    filter.nextMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("January 2013")});
    // The indexes read the stored components: month 13 gives index 12, the year stays.
    EXPECT_EQ(filter.monthSelectionIndexs().firstIndex(), 12u);
    EXPECT_EQ(filter.yearSelectionIndex(), 22);
    filter.nextMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("February 2013")});

    filter.setCurrentMonth(DateComponents{2012, 1});
    filter.prevMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("December 2011")});

    filter.setCurrentMonth(DateComponents{1990, 6});
    filter.prevYear(nullptr);
    EXPECT_EQ(filter.currentMonth().year, 1990);
    filter.setCurrentMonth(DateComponents{2020, 12});
    filter.nextYear(nullptr);
    EXPECT_EQ(filter.currentMonth().year, 2021);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("December 2021")});

    filter.currentMonth(nullptr);
    EXPECT_EQ(filter.currentMonth(), (DateComponents{2012, 3}));
    EXPECT_EQ(filter.monthSelectionIndexs().firstIndex(), 2u);
    EXPECT_EQ(filter.yearSelectionIndex(), 22);
}

TEST_F(JournalFilterTest, SettersNotifyOnEveryCallAndTheMonthReloadIsQueued) {
    QSignalSpy month(&filter, &JournalFilter::monthSelectionIndexsChanged);
    QSignalSpy year(&filter, &JournalFilter::yearSelectionIndexChanged);
    QSignalSpy color(&filter, &JournalFilter::colorTagSelectionIndexsChanged);
    add(QDateTime(QDate(2012, 7, 1), QTime(9, 0)), QStringLiteral("July"));
    QCoreApplication::processEvents();

    filter.setMonthSelectionIndexs(IndexSet{6});
    EXPECT_EQ(filter.currentMonth(), (DateComponents{2012, 7}));
    EXPECT_TRUE(listed().empty() || list.count() == 1u);
    filter.setMonthSelectionIndexs(std::nullopt);
    filter.setYearSelectionIndex(-1);
    filter.setYearSelectionIndex(-5);
    EXPECT_EQ(filter.currentMonth().year, 2012);
    filter.setColorTagSelectionIndexs(std::nullopt);
    filter.setColorTagSelectionIndexs(IndexSet{3});
    EXPECT_EQ(filter.colorFilter(), 3);
    EXPECT_EQ(month.count(), 2);
    EXPECT_EQ(year.count(), 2);
    EXPECT_EQ(color.count(), 2);

    // The month setter does not reload at once; the list follows at the next turn.
    filter.setColorTagSelectionIndexs(IndexSet{0});
    filter.setCurrentMonth(DateComponents{2012, 3});
    filter.reloadData();
    ASSERT_EQ(list.count(), 0u);
    filter.setMonthSelectionIndexs(IndexSet{6});
    EXPECT_EQ(list.count(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.count(), 1u);
}

} // namespace
} // namespace quillet
