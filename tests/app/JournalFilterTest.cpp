#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "diary/Utility.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/journal/MonthSelectView.h"
#include "store/ArrayController.h"
#include "core/Calendar.h"
#include "core/Clock.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::ScopedDiaryHome;

class JournalTest : public ::testing::Test {
protected:
    JournalTest() : tz("Europe/Berlin") {
        Clock::setNowForTesting([] { return QDateTime(QDate(2012, 3, 15), QTime(10, 0)); });
        d = test::launchDelegate();
        QCoreApplication::processEvents();
    }
    ~JournalTest() override { Clock::setNowForTesting({}); }

    ManagedObject* add(const QDateTime& when, const QString& text, int color = 0) {
        ManagedObject* e = d->managedObjectContext()->insertNewObject(QStringLiteral("Entry"));
        e->setValue(when, QStringLiteral("timeStamp"));
        e->setValue(Utility::sharedUtility()->monthTagForDate(when), QStringLiteral("monthTag"));
        e->setValue(color, QStringLiteral("colorTag"));
        e->setValue(text, QStringLiteral("entryText"));
        e->setValue(Utility::sharedUtility()->createUUID(), QStringLiteral("uuid"));
        return e;
    }
    std::vector<QString> listed() {
        QCoreApplication::processEvents();
        std::vector<QString> texts;
        for (ManagedObject* e : d->arrayController()->arrangedObjects()) {
            texts.push_back(e->entryText());
        }
        return texts;
    }

    test::ScopedTimeZone tz;
    ScopedDiaryHome home;
    std::unique_ptr<AppDelegate> d;
};

TEST_F(JournalTest, PredicateTextsForTheThreeInputs) {
    EXPECT_EQ(d->currentMonth(), (DateComponents{2012, 3}));
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("monthTag = 201203"));
    d->setColorFilter(2);
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("monthTag = 201203 AND colorTag = 2"));
    d->setColorFilter(-1);
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("monthTag = 201203 AND colorTag = -1"));
    d->setCurrentMonth(DateComponents{2012, 13});
    d->setColorFilter(0);
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("monthTag = 201301"));
    d->setCurrentMonth(DateComponents{2012, 0});
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("monthTag = 201112"));

    // a " b \ c is escaped to a \" b \\ c: backslashes first, then quotes.
    d->searchField()->setText(QStringLiteral("a\"b\\c"));
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("entryText contains[cd] \"a\\\"b\\\\c\""));
    d->setColorFilter(3);
    d->searchField()->setText(QStringLiteral("x"));
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("entryText contains[cd] \"x\" AND colorTag = 3"));
    // A negative filter is ignored while searching.
    d->setColorFilter(-1);
    EXPECT_EQ(d->currPredicateFormat(), QStringLiteral("entryText contains[cd] \"x\""));
    d->setColorFilter(std::nullopt);
    d->searchField()->setText(QStringLiteral("100% [sure] 'quoted'"));
    EXPECT_TRUE(Predicate::parse(d->currPredicateFormat()).has_value());
}

TEST_F(JournalTest, ListsTheMonthOrTheSearchAcrossAllMonthsNewestFirst) {
    add(QDateTime(QDate(2012, 3, 5), QTime(9, 30)), QStringLiteral("One été"));
    add(QDateTime(QDate(2012, 3, 6), QTime(8, 5)), QStringLiteral("Three"), 2);
    add(QDateTime(QDate(2012, 3, 5), QTime(14, 7)), QStringLiteral("Two ETE"));
    add(QDateTime(QDate(2011, 12, 24), QTime(20, 0)), QStringLiteral("Christmas a\"b\\c ete"));
    add(QDateTime(QDate(2013, 1, 2), QTime(7, 0)), QStringLiteral("New year"), 2);
    d->reloadData();
    EXPECT_EQ(listed(), (std::vector<QString>{QStringLiteral("Three"), QStringLiteral("Two ETE"), QStringLiteral("One été")}));

    d->searchField()->setText(QStringLiteral("Ete"));
    EXPECT_EQ(listed(), (std::vector<QString>{QStringLiteral("Two ETE"), QStringLiteral("One été"),
                                              QStringLiteral("Christmas a\"b\\c ete")}));
    d->searchField()->setText(QStringLiteral("A\"B\\C"));
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Christmas a\"b\\c ete")});
    d->searchField()->clear();

    d->setColorTagSelectionIndexs(IndexSet{2});
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Three")});
    d->setColorTagSelectionIndexs(IndexSet{0});
    EXPECT_EQ(listed().size(), 3u);
    d->setColorFilter(-1);
    d->reloadData();
    EXPECT_TRUE(listed().empty());
    d->setColorFilter(0);

    d->setCurrentMonth(DateComponents{2012, 0});
    d->reloadData();
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("Christmas a\"b\\c ete")});
    d->setCurrentMonth(DateComponents{2012, 13});
    d->reloadData();
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("New year")});
}

TEST_F(JournalTest, ReloadKeepsOrMakesASelection) {
    ManagedObject* older = add(QDateTime(QDate(2012, 3, 1), QTime(9, 0)), QStringLiteral("older"));
    add(QDateTime(QDate(2012, 3, 9), QTime(9, 0)), QStringLiteral("newer"));
    d->reloadData();
    EXPECT_EQ(d->arrayController()->selectionIndex(), 0u) << "the newest entry is selected";
    d->arrayController()->setSelectionIndex(1);
    d->reloadData();
    EXPECT_EQ(d->arrayController()->selectedObject(), older) << "an existing selection stays";
    d->setCurrentMonth(DateComponents{2012, 4});
    d->reloadData();
    EXPECT_EQ(d->arrayController()->selectionIndex(), IndexSet::NotFound);
}

TEST_F(JournalTest, SearchCollapsesTheMonthPanelAndClearingRestoresIt) {
    d->searchField()->setText(QStringLiteral("a"));
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 0);
    d->searchField()->setText(QStringLiteral("ab"));
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 0);
    d->searchField()->clear();
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 137);
}

TEST_F(JournalTest, SteppingMonthsAndYearsAcrossYearEnds) {
    add(QDateTime(QDate(2013, 1, 20), QTime(9, 0)), QStringLiteral("January 2013"));
    add(QDateTime(QDate(2013, 2, 20), QTime(9, 0)), QStringLiteral("February 2013"));
    add(QDateTime(QDate(2011, 12, 20), QTime(9, 0)), QStringLiteral("December 2011"));
    add(QDateTime(QDate(2021, 12, 20), QTime(9, 0)), QStringLiteral("December 2021"));
    d->setCurrentMonth(DateComponents{2012, 12});
    d->nextMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("January 2013")});
    // The indexes read the stored components: month 13 gives index 12, the year stays.
    EXPECT_EQ(d->monthSelectionIndexs().firstIndex(), 12u);
    EXPECT_EQ(d->yearSelectionIndex(), 22);
    d->nextMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("February 2013")});

    d->setCurrentMonth(DateComponents{2012, 1});
    d->prevMonth(nullptr);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("December 2011")});

    d->setCurrentMonth(DateComponents{1990, 6});
    d->prevYear(nullptr);
    EXPECT_EQ(d->currentMonth().year, 1990);
    d->setCurrentMonth(DateComponents{2020, 12});
    d->nextYear(nullptr);
    EXPECT_EQ(d->currentMonth().year, 2021);
    EXPECT_EQ(listed(), std::vector<QString>{QStringLiteral("December 2021")});

    d->currentMonth(nullptr);
    EXPECT_EQ(d->currentMonth(), (DateComponents{2012, 3}));
    EXPECT_EQ(d->monthSelectionIndexs().firstIndex(), 2u);
    EXPECT_EQ(d->yearSelectionIndex(), 22);
}

TEST_F(JournalTest, SettersNotifyOnEveryCallAndTheMonthReloadIsQueued) {
    QSignalSpy month(d.get(), &AppDelegate::monthSelectionIndexsChanged);
    QSignalSpy year(d.get(), &AppDelegate::yearSelectionIndexChanged);
    QSignalSpy color(d.get(), &AppDelegate::colorTagSelectionIndexsChanged);
    add(QDateTime(QDate(2012, 7, 1), QTime(9, 0)), QStringLiteral("July"));
    QCoreApplication::processEvents();

    d->setMonthSelectionIndexs(IndexSet{6});
    EXPECT_EQ(d->currentMonth(), (DateComponents{2012, 7}));
    EXPECT_TRUE(listed().empty() || d->arrayController()->count() == 1u);
    d->setMonthSelectionIndexs(std::nullopt);
    d->setYearSelectionIndex(-1);
    d->setYearSelectionIndex(-5);
    EXPECT_EQ(d->currentMonth().year, 2012);
    d->setColorTagSelectionIndexs(std::nullopt);
    d->setColorTagSelectionIndexs(IndexSet{3});
    EXPECT_EQ(d->colorFilter(), 3);
    EXPECT_EQ(month.count(), 2);
    EXPECT_EQ(year.count(), 2);
    EXPECT_EQ(color.count(), 2);

    // The month setter does not reload at once; the list follows at the next turn.
    d->setColorTagSelectionIndexs(IndexSet{0});
    d->setCurrentMonth(DateComponents{2012, 3});
    d->reloadData();
    ASSERT_EQ(d->arrayController()->count(), 0u);
    d->setMonthSelectionIndexs(IndexSet{6});
    EXPECT_EQ(d->arrayController()->count(), 0u);
    QCoreApplication::processEvents();
    EXPECT_EQ(d->arrayController()->count(), 1u);
}

TEST_F(JournalTest, ControlsShowAndChangeTheSelection) {
    MainWindow* w = d->window();
    EXPECT_EQ(w->yearPopUp->count(), QDate::currentDate().year() + 1 - 1990 + 1);
    EXPECT_EQ(w->yearPopUp->itemText(0), QStringLiteral("1990"));
    EXPECT_EQ(w->yearPopUp->currentText(), QStringLiteral("2012"));
    EXPECT_EQ(w->monthSelectView->model()->rowCount(), 12);
    EXPECT_EQ(w->monthSelectView->currentIndex().row(), 2);
    EXPECT_EQ(w->colorTagSelectView->count(), 6);
    EXPECT_EQ(w->colorTagSelectView->currentRow(), 0) << "no color filter shows as the first tag";

    w->colorTagSelectView->setCurrentRow(4);
    EXPECT_EQ(d->colorFilter(), 4);
    w->colorTagSelectView->setCurrentRow(0);
    EXPECT_EQ(d->colorFilter(), 0);
    w->monthSelectView->setCurrentIndex(w->monthSelectView->model()->index(9, 0));
    EXPECT_EQ(d->currentMonth().month, 10);
    w->yearPopUp->setCurrentIndex(0);
    emit w->yearPopUp->activated(0);
    EXPECT_EQ(d->currentMonth().year, 1990);
    d->nextYear(nullptr);
    EXPECT_EQ(w->yearPopUp->currentText(), QStringLiteral("1991"));
}

} // namespace
} // namespace quillet
