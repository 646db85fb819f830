#include "AppTestSupport.h"
#include "ImportNotifications.h"

#include "app/AppDelegate.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "ui/MainWindow.h"
#include "ui/settings/MigrateSettingView.h"
#include "ui/settings/SettingWindowController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

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

    // The menu command opens the same window; quitting closes it.
    d->window()->settingsAction->trigger();
    EXPECT_TRUE(d->settingWindowController()->isVisible());
    EXPECT_EQ(d->settingWindowController()->migrateSettingView(), pane);
    d->windowWillClose();
    EXPECT_FALSE(d->settingWindowController()->isVisible());
}
