// The Cloud pane of the settings: the folder and whether it exists, the
// exchange's state, the passphrase the folder needs, and setting the folder up.
#include "DiaryFiles.h"
#include "DiaryHome.h"

#include "diary/Utility.h"
#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreOptions.h"
#include "store/cloud/ContainerKey.h"
#include "ui/settings/CloudSettingView.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <optional>

namespace quillet::test {
namespace {

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
    // Signed in, no key yet; then the key made (the tests' passphrase file).
    EXPECT_TRUE(pane.sealLabel()->text().contains(QStringLiteral("No diary key yet")));
    EXPECT_EQ(pane.passphraseButton()->text(), QStringLiteral("Choose Passphrase\u2026"));
    ASSERT_TRUE(cloud::ContainerKey::forContainer(folder)->resolve(folder));
    pane.refresh();
    EXPECT_TRUE(pane.sealLabel()->text().contains(QStringLiteral("nothing in it is plain text")));
    EXPECT_EQ(pane.passphraseButton()->text(), QStringLiteral("Change Passphrase\u2026"));
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

} // namespace
} // namespace quillet::test
