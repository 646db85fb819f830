// What the user types, and what the editing commands change, reaches the
// diary file by itself within a couple of seconds, without leaving the
// editor or saving; Ctrl+C in the terminal saves like the session ending.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/TerminationSignalWatcher.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/appearance/ThemeColorPickerController.h"
#include "ui/journal/EditTextView.h"

#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

namespace quillet {
namespace {

using test::ScopedDiaryHome;

// One column of every row, read through a connection of its own, as a
// relaunch after a crash would find it.
QStringList storedColumn(const QString& path, const char* column) {
    QStringList values;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        const QByteArray sql = QByteArray("SELECT ") + column + " FROM entry ORDER BY key";
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK) {
            while (sqlite3_step(s) == SQLITE_ROW) {
                values.append(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))));
            }
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return values;
}

// Runs the event loop until the file holds what is expected, for far longer
// than the saving needs, so that a slow machine does not fail the test.
bool storedSoon(const QString& path, const char* column, const QStringList& expected) {
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (storedColumn(path, column) == expected) {
            return true;
        }
        QTest::qWait(50);
    }
    return storedColumn(path, column) == expected;
}

TEST(SavingWhileTyping, TypingReachesTheFileWithoutLeavingTheEditor) {
    ScopedDiaryHome home;
    auto d = test::launchDelegate();
    d->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    ASSERT_EQ(storedColumn(home.storePath(), "entryText"), QStringList{QString()});

    QTest::keyClicks(d->editTextView(), QStringLiteral("Dear diary, today"));
    EXPECT_TRUE(storedSoon(home.storePath(), "entryText", {QStringLiteral("Dear diary, today")}))
        << storedColumn(home.storePath(), "entryText").join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(d->managedObjectContext()->hasChanges());

    // More typing later is saved the same way; the search form goes with it.
    QTest::keyClicks(d->editTextView(), QStringLiteral(" \u00c9T\u00c9"));
    EXPECT_TRUE(storedSoon(home.storePath(), "entryText",
                           {QStringLiteral("Dear diary, today \u00c9T\u00c9")}));
    EXPECT_EQ(storedColumn(home.storePath(), "foldedText"),
              QStringList{QStringLiteral("dear diary, today ete")});
}

TEST(SavingWhileTyping, APopoverChangeIsSavedWithoutFurtherAction) {
    ScopedDiaryHome home;
    auto d = test::launchDelegate();
    d->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    ASSERT_NE(d->arrayController()->selectedObject(), nullptr);

    d->colorPicker()->setSelID(4);
    d->colorPicked(QVariant(4));
    EXPECT_TRUE(storedSoon(home.storePath(), "colorTag", {QStringLiteral("4")}));

    d->datePopoverDatePicker()->setDateTime(QDateTime(QDate(2010, 7, 5), QTime(12, 0)));
    d->popoverConfirmDateEdit(nullptr);
    EXPECT_TRUE(storedSoon(home.storePath(), "monthTag", {QStringLiteral("201007")}));
    EXPECT_FALSE(d->managedObjectContext()->hasChanges());
}

TEST(SavingWhileTyping, InterruptFromTheTerminalAsksToQuitLikeTheSessionEnding) {
    // Asked once, the process ends by the deadline whatever holds it.
    TerminationSignalWatcher watcher(nullptr, 30);
    QSignalSpy requested(&watcher, &TerminationSignalWatcher::terminationRequested);
    // Without the watcher's handler this would end the test process.
    std::raise(SIGINT);
    EXPECT_TRUE(requested.count() == 1 || requested.wait(5000));
    std::raise(SIGTERM);
    EXPECT_TRUE(requested.count() == 2 || requested.wait(5000));
    const unsigned left = alarm(0); // disarmed, or it would end the tests
    EXPECT_GT(left, 0u);
    EXPECT_LE(left, 30u);
}

} // namespace
} // namespace quillet
