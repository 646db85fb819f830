// What the user types, and what the editing commands change, reaches the
// diary file by itself within a couple of seconds, without leaving the
// editor or saving; Ctrl+C in the terminal saves like the session ending.
#include "AppTestSupport.h"
#include "DiaryFiles.h"
#include "app/AppDelegate.h"
#include "app/TerminationSignalWatcher.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"
#include "ui/appearance/ThemeColorPickerController.h"
#include "ui/journal/EditTextView.h"

#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillet {
namespace {

using test::ScopedDiaryHome;

// One column of every row, read through a connection of its own, as a
// relaunch after a crash would find it.
QStringList storedColumn(const QString& path, const char* column) {
    return test::rawRows(path,
                         (QByteArray("SELECT ") + column + " FROM entry ORDER BY key").constData());
}

// Runs the event loop until the file holds what is expected, for far longer
// than the saving needs, so that a slow machine does not fail the test.
bool storedSoon(const QString& path, const char* column, const QStringList& expected) {
    return test::waitFor([&] { return storedColumn(path, column) == expected; });
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
}

// A command given at once after typing, before any pause, acts on the text
// as typed: the entry holds every key the moment it is typed.
TEST(SavingWhileTyping, EveryCommandGivenAtOnceAfterTypingSeesTheTypedText) {
    const QString typed = QStringLiteral("zephyr over the hills");
    struct Reader {
        const char* name;
        std::function<bool(AppDelegate&, ManagedObject*, const ScopedDiaryHome&)> seesTyped;
    };
    const std::vector<Reader> readers = {
        {"re-tag",
         [&](AppDelegate& d, ManagedObject* entry, const ScopedDiaryHome&) {
             d.colorPicker()->setSelID(4);
             d.colorPicked(QVariant(4));
             return entry->colorTag() == 4 && entry->entryText() == typed;
         }},
        {"trash, then undo",
         [&](AppDelegate& d, ManagedObject* entry, const ScopedDiaryHome&) {
             d.removeEntry(nullptr);
             d.windowWillReturnUndoManager()->undo();
             return entry->isLive() && entry->entryText() == typed;
         }},
        {"next month",
         [&](AppDelegate& d, ManagedObject* entry, const ScopedDiaryHome&) {
             d.nextMonth(nullptr);
             return entry->entryText() == typed;
         }},
        {"quit",
         [&](AppDelegate& d, ManagedObject*, const ScopedDiaryHome& home) {
             return d.applicationShouldTerminate() &&
                    storedColumn(home.storePath(), "entryText") == QStringList{typed};
         }},
    };
    for (const Reader& reader : readers) {
        ScopedDiaryHome home;
        auto d = test::launchDelegate();
        d->insertNewObject(nullptr);
        ManagedObject* entry = d->arrayController()->selectedObject();
        ASSERT_NE(entry, nullptr);
        QTest::keyClicks(d->editTextView(), typed);
        EXPECT_TRUE(reader.seesTyped(*d, entry, home)) << reader.name;
    }
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
