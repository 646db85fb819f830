// The two views that show the import and duplicate removal: the lines of
// the migration pane and the status box of the main window. They hear the
// notifications on whatever thread posts them and change only on the main
// thread, in the order the notifications came.
#include "DiaryHome.h"
#include "ImportNotifications.h"

#include "core/NotificationCenter.h"
#include "diary/import/OldDataImporter.h"
#include "store/ManagedObjectContext.h"
#include "ui/StatusLabel.h"
#include "ui/settings/MigrateSettingView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <thread>

namespace quillet::test {
namespace {

TEST(StatusLabel, ShowsAnImportWhileItRunsAndHidesWhenItEnds) {
    QWidget window;
    auto* box = new StatusLabel(&window);
    box->hide();
    window.show();
    EXPECT_EQ(box->labelText(), "Import Old Data...0%") << "what the first import starts with";
    box->setLabelText(QStringLiteral("Import Old Data...7%"));

    postFromWorker(kOldDataWillImport);
    EXPECT_TRUE(box->isHidden()) << "nothing changes on the posting thread";
    QApplication::processEvents();
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->labelText(), "Import Old Data...7%")
        << "the last import's text stays until the first step";

    postFromWorker(kOldDataImporting, 42);
    QApplication::processEvents();
    EXPECT_EQ(box->labelText(), "Import Old Data...42%");
    EXPECT_EQ(box->textField()->text(), box->labelText());
    EXPECT_FALSE(box->isHidden());

    postFromWorker(kOldDataDidImportSucess);
    QApplication::processEvents();
    EXPECT_TRUE(box->isHidden());

    postFromWorker(kOldDataWillImport);
    postFromWorker(kOldDataDidImportFail);
    QApplication::processEvents();
    EXPECT_TRUE(box->isHidden()) << "steps run in the order they were asked for";

    // Duplicate removal is none of its business.
    postFromWorker(kDuplicateCheckWillStart);
    postFromWorker(kDuplicateChecking, 50);
    QApplication::processEvents();
    EXPECT_TRUE(box->isHidden());
    EXPECT_EQ(box->labelText(), "Import Old Data...42%");

    // Gone before its step runs: the step finds nothing to change.
    postFromWorker(kOldDataImporting, 60);
    delete box;
    QApplication::processEvents();
}

TEST(MigrateSettingView, EachLineFollowsItsOperationInOrder) {
    MigrateSettingView pane(OldDataImporter::sharedImporter());
    QLabel* migrate = pane.migrateStatusLabel();
    QLabel* duplicate = pane.duplicateStatusLabel();
    QStringList shown;
    auto step = [&](const QString& name, std::optional<int> progress = std::nullopt) {
        postFromWorker(name, progress);
        QApplication::processEvents();
        shown << migrate->text() + QStringLiteral(" | ") + duplicate->text();
    };
    step(kOldDataWillImport);
    step(kOldDataImporting, 25);
    step(kOldDataImporting, 100);
    step(kOldDataDidImportSucess);
    step(kDuplicateCheckWillStart);
    step(kDuplicateChecking, 0);
    step(kDuplicateChecking, 75);
    step(kDuplicateCheckEndFail);
    step(kOldDataWillImport);
    step(kOldDataDidImportFail);
    step(kDuplicateCheckEndSuccess);
    EXPECT_EQ(shown, (QStringList{
                         "in progress...0% | ",
                         "in progress...25% | ",
                         "in progress...100% | ",
                         "Done Successfully | ",
                         "Done Successfully | in progress...0%",
                         "Done Successfully | in progress...0%",
                         "Done Successfully | in progress...75%",
                         "Done Successfully | Finished With Error",
                         "in progress...0% | Finished With Error",
                         "Finished With Error | Finished With Error",
                         "Finished With Error | Done Successfully",
                     }));

    // Posted on the main thread too, the change waits for the next turn of the loop.
    NotificationCenter::defaultCenter().postNotification(kOldDataImporting, nullptr,
                                                         {{kProgressKey, 9}});
    EXPECT_EQ(migrate->text(), "Finished With Error");
    QApplication::processEvents();
    EXPECT_EQ(migrate->text(), "in progress...9%");

    // Cleared by the settings window; a running operation writes its line again.
    pane.cleanStatusLabel();
    EXPECT_EQ(migrate->text(), "");
    EXPECT_EQ(duplicate->text(), "");
    step(kDuplicateChecking, 40);
    EXPECT_EQ(shown.last(), " | in progress...40%");
}

TEST(MigrateSettingView, APaneThatIsGoneIgnoresLateNotifications) {
    auto gone = std::make_unique<MigrateSettingView>(OldDataImporter::sharedImporter());
    MigrateSettingView kept(OldDataImporter::sharedImporter());
    postFromWorker(kOldDataImporting, 30);
    gone.reset();
    QApplication::processEvents();
    // The step ran (for the pane still there) and found the other pane gone.
    EXPECT_EQ(kept.migrateStatusLabel()->text(), "in progress...30%");
}

// Waits until the importer is idle and the line shows an outcome.
QString outcome(QLabel* line) {
    waitFor(
        [&] {
            return !OldDataImporter::sharedImporter()->isWorking() &&
                   (line->text() == "Done Successfully" || line->text() == "Finished With Error");
        },
        30000);
    QApplication::processEvents();
    return line->text();
}

TEST(MigrateSettingView, TheButtonsStartTheImporterOnTheDiaryTheyAreGiven) {
    ScopedDiaryHome home;
    MigrateSettingView pane(OldDataImporter::sharedImporter());
    ManagedObjectContext context;
    // Without a diary to work on, nothing starts.
    pane.migrateButton()->click();
    pane.duplicateButton()->click();
    QApplication::processEvents();
    EXPECT_FALSE(OldDataImporter::sharedImporter()->isWorking());
    EXPECT_EQ(pane.migrateStatusLabel()->text(), "");
    // Without a move handed in (no application delegate), the move does nothing.
    LogCapture log;
    pane.moveToCloudButton()->click();
    EXPECT_TRUE(log.lines().isEmpty());

    pane.setManagedObjectContextProvider([&] { return &context; });
    // No old file in this home: the import ends in an error, whatever the setting says.
    pane.migrateButton()->click();
    EXPECT_EQ(OldDataImporter::sharedImporter()->managedObjectContext(), &context);
    EXPECT_EQ(outcome(pane.migrateStatusLabel()), "Finished With Error");
    pane.duplicateButton()->click();
    EXPECT_EQ(outcome(pane.duplicateStatusLabel()), "Done Successfully");
}

} // namespace
} // namespace quillet::test
