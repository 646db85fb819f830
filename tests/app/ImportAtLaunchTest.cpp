// The launch step that brings in the previous generation's diary: once, in
// the Quillet2 edition, and again at the next launch when it did not end with
// everything saved.
#include "AppTestSupport.h"
#include "DiaryFiles.h"

#include "app/AppDelegate.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"
#include "ui/StatusLabel.h"
#include "ui/journal/EditTextView.h"

#include <QTest>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <atomic>

namespace quillet::test {
namespace {

QString oldPath(const ScopedDiaryHome& home) {
    return home.dataHome() + QStringLiteral("/QuilletMac/Quillet.sqlite");
}

void writeOldFile(const QString& path, const char* sql) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(rawExec(path,
                        "CREATE TABLE entries (id INTEGER PRIMARY KEY, uuid TEXT, entrytext TEXT, "
                        "colortag INTEGER, timestamp REAL, trashed INTEGER)"));
    ASSERT_TRUE(rawExec(path, sql));
}

// Hears the end of an import, from whichever thread announces it.
class ImportEnd {
public:
    ImportEnd() {
        for (const QString& name :
             {QString(kOldDataDidImportSucess), QString(kOldDataDidImportFail)}) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const Notification&) { ended_ = true; }));
        }
    }
    ~ImportEnd() {
        for (int token : tokens_) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }
    // Turns the event loop until the import has ended and its last steps have run.
    void wait() {
        ASSERT_TRUE(waitFor(
            [&] { return ended_ && !OldDataImporter::sharedImporter()->isWorking(); }, 30000));
        QApplication::processEvents();
        ended_ = false;
    }

private:
    std::atomic<bool> ended_{false};
    std::vector<int> tokens_;
};

TEST(ImportAtLaunch, TheFirstLaunchBringsInThePreviousDiaryOnce) {
    ScopedDiaryHome home;
    // One entry of this month, which the launch lists.
    const QByteArray now = QByteArray::number(QDateTime::currentSecsSinceEpoch());
    writeOldFile(
        oldPath(home),
        QByteArray("INSERT INTO entries (uuid, entrytext, colortag, timestamp, trashed) VALUES "
                   "('A', 'one', 1, 1330956429, 0), ('B', 'two', 2, 1330956430, 0), "
                   "('C', 'three', 3, 1330956431, 0), ('T', 'trashed', 0, 1, 1), "
                   "('D', 'four', 4, " +
                   now + ", 0)")
            .constData());
    LogCapture log;
    ImportEnd end;
    {
        std::unique_ptr<AppDelegate> d = launchDelegate();
        EXPECT_EQ(log.count(QStringLiteral("Try Import Old Data")), 1);
        end.wait();
        // What comes in and that it is saved is the importer's (OldDataImporterTest).
        EXPECT_EQ(d->managedObjectContext()->registeredObjects().size(), 4u);
        // The first entry is selected once the list has filled, as at any launch.
        EXPECT_TRUE(QTest::qWaitFor([&] { return d->arrayController()->selectedObject(); }, 5000));
        ASSERT_NE(d->arrayController()->selectedObject(), nullptr);
        EXPECT_EQ(d->editTextView()->toPlainText(), QStringLiteral("four"));
        EXPECT_TRUE(Utility::sharedUtility()->isOldDataImported());
        // The status box (how it counts and goes: StatusLabel's test) sits in the main window.
        EXPECT_TRUE(d->window()->leftButtomView->isAncestorOf(d->window()->statusLabel))
            << "beside the list, not over it";
    }
    // The next launch leaves it alone.
    std::unique_ptr<AppDelegate> again = launchDelegate();
    EXPECT_FALSE(OldDataImporter::sharedImporter()->isWorking());
    EXPECT_EQ(log.count(QStringLiteral("Try Import Old Data")), 1);
    EXPECT_EQ(again->managedObjectContext()->registeredObjects().size(), 4u);
}

TEST(ImportAtLaunch, AnImportThatDidNotEndWellIsTriedAgainAtTheNextLaunch) {
    ScopedDiaryHome home;
    // A file of the previous generation's name that is not its diary.
    writeOldFile(oldPath(home), "DROP TABLE entries; CREATE TABLE notes (body TEXT)");
    LogCapture log;
    ImportEnd end;
    {
        std::unique_ptr<AppDelegate> d = launchDelegate();
        end.wait();
        EXPECT_FALSE(Utility::sharedUtility()->isOldDataImported());
    }
    std::unique_ptr<AppDelegate> d = launchDelegate();
    end.wait();
    EXPECT_EQ(log.count(QStringLiteral("Try Import Old Data")), 2);
    EXPECT_FALSE(Utility::sharedUtility()->isOldDataImported());
}

TEST(ImportAtLaunch, OnlyTheQuillet2EditionImportsAtLaunch) {
    for (const QString& bundle : {QStringLiteral("Wrenfold"), QStringLiteral("Quillet")}) {
        ScopedDiaryHome home(bundle);
        writeOldFile(oldPath(home),
                     "INSERT INTO entries (uuid, entrytext, colortag, timestamp, trashed) "
                     "VALUES ('A', 'one', 1, 1330956429, 0)");
        LogCapture log;
        std::unique_ptr<AppDelegate> d = launchDelegate();
        EXPECT_FALSE(OldDataImporter::sharedImporter()->isWorking()) << bundle.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("Try Import Old Data")), 0);
        EXPECT_TRUE(d->managedObjectContext()->registeredObjects().empty());
    }
    // Nor does Quillet2 without an old file.
    ScopedDiaryHome home;
    LogCapture log;
    std::unique_ptr<AppDelegate> d = launchDelegate();
    EXPECT_FALSE(OldDataImporter::sharedImporter()->isWorking());
    EXPECT_EQ(log.count(QStringLiteral("Try Import Old Data")), 0);
}

} // namespace
} // namespace quillet::test
