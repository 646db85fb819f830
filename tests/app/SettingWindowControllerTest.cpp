#include "AppTestSupport.h"
#include "DiaryFiles.h"
#include "ImportNotifications.h"

#include "app/AppDelegate.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "ui/MainWindow.h"
#include "ui/settings/CloudSettingView.h"
#include "ui/settings/MigrateSettingView.h"
#include "ui/settings/SettingWindowController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>
#include <gtest/gtest.h>

#include <optional>

using namespace quillet;
using namespace quillet::test;

TEST(MigrateSettingView, MoveToCloudGoesToTheApplicationDelegate) {
    ScopedDiaryHome home;
    std::unique_ptr<AppDelegate> d = launchDelegate();
    MigrateSettingView* pane = d->settingWindowController()->migrateSettingView();
    ASSERT_TRUE(pane->hasMoveLocalStoreToICloudHandler());
    QSignalSpy recheck(Utility::sharedUtility(), &Utility::canMoveLocalStoreToICloudChanged);
    LogCapture log;
    pane->moveToCloudButton()->click();
    EXPECT_EQ(recheck.count(), 0) << "signed out: nothing to ask again";
    // Signed in: whoever shows the move's availability asks again (what the
    // move does is DiaryStore's: MoveToCloudTest).
    QDir().mkpath(home.cloudRoot() + QLatin1Char('/') +
                  Utility::sharedUtility()->ubiquityContainerIdentifier());
    pane->moveToCloudButton()->click();
    ASSERT_EQ(log.lines().size(), 2) << log.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(log.lines()[1].startsWith(QStringLiteral("cloudURL: file:///")));
    EXPECT_EQ(recheck.count(), 1);
    EXPECT_TRUE(Utility::sharedUtility()->isLocalStoreMigrated());
}

TEST(SettingWindow, BuiltWhenFirstOpenedWithWhatTheImportSaidBefore) {
    ScopedDiaryHome home;
    std::unique_ptr<AppDelegate> d = launchDelegate();
    EXPECT_FALSE(d->hasSettingWindow()) << "the first screen does not show it";

    // An import and a duplicate check report before the window exists; only
    // the last word of each line counts.
    postFromWorker(kOldDataWillImport);
    postFromWorker(kOldDataImporting, 20);
    postFromWorker(kOldDataImporting, 55);
    postFromWorker(kDuplicateCheckWillStart);
    postFromWorker(kDuplicateChecking, 30);
    postFromWorker(kDuplicateCheckEndFail);
    QApplication::processEvents();
    EXPECT_FALSE(d->hasSettingWindow());

    MigrateSettingView* pane = d->settingWindowController()->migrateSettingView();
    EXPECT_EQ(pane->migrateStatusLabel()->text(), "in progress...55%");
    EXPECT_EQ(pane->duplicateStatusLabel()->text(), "Finished With Error");
    EXPECT_TRUE(pane->hasMoveLocalStoreToICloudHandler());
    EXPECT_FALSE(d->settingWindowController()->styleSheet().isEmpty()) << "in the diary's theme";

    // Later news reaches the pane itself, after anything replayed.
    postFromWorker(kOldDataImporting, 80);
    postFromWorker(kOldDataDidImportSucess);
    QApplication::processEvents();
    EXPECT_EQ(pane->migrateStatusLabel()->text(), "Done Successfully");
    EXPECT_EQ(pane->duplicateStatusLabel()->text(), "Finished With Error");

    // The menu command opens the same window; quitting closes it.
    d->window()->settingsAction->trigger();
    EXPECT_TRUE(d->settingWindowController()->isVisible());
    EXPECT_EQ(d->settingWindowController()->migrateSettingView(), pane);
    d->windowWillClose();
    EXPECT_FALSE(d->settingWindowController()->isVisible());
}

TEST(CloudSettingView, ShowsTheFolderAndWhetherItExists) {
    ScopedDiaryHome home;
    CloudSettingView pane(Utility::sharedUtility());
    const QString folder = home.cloudRoot() + QLatin1Char('/') +
                           Utility::sharedUtility()->ubiquityContainerIdentifier();
    pane.refresh();
    EXPECT_EQ(pane.folderField()->text(), folder);
    EXPECT_TRUE(pane.folderField()->isReadOnly());
    EXPECT_EQ(pane.stateLabel()->text(), "Signed out: the cloud folder does not exist yet.");
    ASSERT_TRUE(QDir().mkpath(folder));
    pane.show();
    EXPECT_TRUE(pane.stateLabel()->text().contains(QStringLiteral("available")))
        << "read again when shown";
    EXPECT_EQ(pane.writtenLabel()->text(), "Never");
    EXPECT_EQ(pane.appliedLabel()->text(), "Never");
    EXPECT_EQ(pane.writersLabel()->text(), "None yet");
    pane.hide();

    // A diary that moved in and wrote its whole content, and another writer.
    const QString local = home.storeFolder() + QStringLiteral("/moved.sqlite");
    const QString moved = folder + QStringLiteral("/.nosync/entries.sqlite");
    ASSERT_TRUE(QDir().mkpath(
        folder + QStringLiteral("/TransactionLogs/6f1c2b9e-8d0a-4c55-9a43-1f2e3d4c5b6a")));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/TransactionLogs/not a writer")));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/.nosync")) &&
                QDir().mkpath(home.storeFolder()));
    ASSERT_TRUE(
        writeDiary(local, {entryValues(QStringLiteral("6A1E0A4C-0000-4B7A-8C3D-00000000000A"),
                                       QStringLiteral("moved"), 1, 201203, 1330956429.0)}));
    PersistentStoreCoordinator coordinator(ManagedObjectModel::mergedModelFromBundles());
    Error error;
    ASSERT_TRUE(coordinator.addPersistentStore(NSSQLiteStoreType, QString(), local, {}, &error));
    const QVariantMap options{
        {NSPersistentStoreUbiquitousContentNameKey, QStringLiteral("TransactionLogs")},
        {NSPersistentStoreUbiquitousContentURLKey, QUrl::fromLocalFile(folder)}};
    ASSERT_TRUE(coordinator.migratePersistentStore(coordinator.defaultStore(), moved, options,
                                                   NSSQLiteStoreType, &error));
    pane.setStorePathSource([&] { return moved; });
    pane.refresh();
    EXPECT_EQ(pane.writersLabel()->text(), "2");
    EXPECT_NE(pane.writtenLabel()->text(), "Never");
    EXPECT_EQ(pane.appliedLabel()->text(), "Never");
    EXPECT_FALSE(pane.clockLabel()->isVisibleTo(&pane)) << "no clock found off";

    // Set up from the pane: the folder chosen becomes the root; Stop Using forgets it.
    ScopedEnv noEnvironment("QUILLET_CLOUD_ROOT", std::nullopt);
    const QString chosen = makeTempDir();
    pane.setFolderChooser([&](const QString&) { return chosen; });
    EXPECT_FALSE(pane.stopButton()->isEnabled());
    pane.chooseButton()->click();
    const QString made =
        chosen + QLatin1Char('/') + Utility::sharedUtility()->ubiquityContainerIdentifier();
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_EQ(pane.folderField()->text(), made);
    EXPECT_TRUE(pane.stateLabel()->text().contains(QStringLiteral("Signed in")));
    EXPECT_TRUE(pane.setupLabel()->text().contains(QStringLiteral("chosen")))
        << pane.setupLabel()->text().toStdString();
    EXPECT_TRUE(pane.stopButton()->isEnabled());
    pane.stopButton()->click();
    EXPECT_EQ(pane.folderField()->text(),
              home.dataHome() + QStringLiteral("/QuilletCloud/") +
                  Utility::sharedUtility()->ubiquityContainerIdentifier());
    EXPECT_FALSE(pane.stopButton()->isEnabled());
}
