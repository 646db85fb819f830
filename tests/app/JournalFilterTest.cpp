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

TEST_F(JournalTest, SearchCollapsesTheMonthPanelAndClearingRestoresIt) {
    d->searchField()->setText(QStringLiteral("a"));
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 0);
    d->searchField()->setText(QStringLiteral("ab"));
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 0);
    d->searchField()->clear();
    EXPECT_EQ(d->monthPanel()->maximumHeight(), 137);
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
