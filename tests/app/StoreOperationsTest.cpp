#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "core/Clock.h"
#include "diary/Utility.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/journal/EditTextView.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace quillet {
namespace {

using test::alerts;
using test::ScopedDiaryHome;

// Holds SQLite's write lock on the diary file, so that saves fail for a while.
class WriteLockHolder {
public:
    explicit WriteLockHolder(const QString& path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db_);
        sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~WriteLockHolder() { release(); }
    void release() {
        if (db_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }

private:
    sqlite3* db_ = nullptr;
};

// Its values are EntryCommands' (EntryCommandsTest); here the launched diary's part.
TEST(StoreOperations, ANewEntryIsSavedListedSelectedAndTypedIntoWhateverTheListShowed) {
    test::ScopedTimeZone tz("Europe/Berlin");
    ScopedDiaryHome home;
    QDateTime now(QDate(2013, 1, 31), QTime(23, 58));
    Clock::setNowForTesting([&now] { return now; });
    const auto restore = qScopeGuard([] { Clock::setNowForTesting({}); });
    auto d = test::launchDelegate();
    d->setColorTagSelectionIndexs(IndexSet{2});
    d->insertNewObject(nullptr);
    ManagedObject* holiday = d->arrayController()->selectedObject();
    ASSERT_NE(holiday, nullptr);
    EXPECT_FALSE(d->managedObjectContext()->hasChanges()) << "the new entry is saved at once";
    EXPECT_EQ(d->currentMonth(), (DateComponents{2013, 1}));
    QTest::keyClicks(d->editTextView(), QStringLiteral("holiday in Rome"));

    // A search shows the entry; Ctrl+N gives way to the month list, keeping
    // the color filter, as the new entry takes its tag.
    d->searchField()->setText(QStringLiteral("Rome"));
    ASSERT_EQ(d->arrayController()->selectedObject(), holiday);
    now = now.addSecs(60);
    d->insertNewObject(nullptr);
    ManagedObject* fresh = d->arrayController()->selectedObject();
    ASSERT_NE(fresh, holiday);
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(d->searchField()->text().isEmpty());
    EXPECT_EQ(fresh->colorTag(), 2);
    EXPECT_EQ(d->arrayController()->objectAtIndex(0), fresh);
    EXPECT_EQ(d->editTextView()->toPlainText(), QString());
    QTest::keyClicks(d->editTextView(), QStringLiteral("new words"));
    EXPECT_EQ(fresh->entryText(), QStringLiteral("new words"));
    EXPECT_EQ(holiday->entryText(), QStringLiteral("holiday in Rome"));
    QCoreApplication::processEvents();
    EXPECT_EQ(d->arrayController()->selectedObject(), fresh) << "the queued reload keeps it";
}

TEST(StoreOperations, TypingIntoAnEmptyPaneBeginsAnEntryHoldingEveryKey) {
    for (const QString& search : {QString(), QStringLiteral("nothing like it")}) {
        ScopedDiaryHome home;
        auto d = test::launchDelegate();
        d->searchField()->setText(search);
        ASSERT_EQ(d->arrayController()->selectedObject(), nullptr);
        EXPECT_FALSE(d->editTextView()->placeholderText().isEmpty());
        QTest::keyClicks(d->editTextView(), QStringLiteral("First words"));
        ASSERT_EQ(d->arrayController()->count(), 1u) << search.toStdString();
        ManagedObject* entry = d->arrayController()->selectedObject();
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->entryText(), QStringLiteral("First words"));
        EXPECT_EQ(d->editTextView()->toPlainText(), QStringLiteral("First words"));
        EXPECT_TRUE(d->editTextView()->placeholderText().isEmpty());
        EXPECT_TRUE(d->searchField()->text().isEmpty());
    }
}

TEST(StoreOperations, AFailedSaveKeepsTheApplicationOpenWithTheEdits) {
    ScopedDiaryHome home;
    auto d = test::launchDelegate();
    d->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    QTest::keyClicks(d->editTextView(), QStringLiteral("unsaved words"));
    {
        WriteLockHolder lock(home.storePath());
        alerts().clear();
        EXPECT_FALSE(d->applicationShouldTerminate());
        EXPECT_EQ(alerts().errors.size(), 1u);
        EXPECT_FALSE(d->windowWillClose());
        EXPECT_EQ(alerts().errors.size(), 2u) << "one alert per attempt";
        EXPECT_TRUE(d->managedObjectContext()->hasChanges());
        EXPECT_EQ(d->arrayController()->selectedObject()->entryText(),
                  QStringLiteral("unsaved words"));
    }
    EXPECT_TRUE(d->applicationShouldTerminate());
    EXPECT_EQ(alerts().errors.size(), 2u);
}

TEST(StoreOperations, SaveWithNothingChangedDoesNotTouchTheStore) {
    ScopedDiaryHome home;
    auto d = test::launchDelegate();
    WriteLockHolder lock(home.storePath());
    alerts().clear();
    d->saveAction(nullptr);
    EXPECT_TRUE(alerts().errors.empty());
}

} // namespace
} // namespace quillet
