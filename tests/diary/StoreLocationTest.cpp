// Where the diary lies: the local folder per edition, the cloud container
// and its ".nosync" folder, the folder the store is opened in, and the old
// data folder.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "core/AlertPresenter.h"
#include "core/Alerts.h"
#include "core/Application.h"
#include "store/CloudContainer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>
#include <atomic>

namespace quillet::test {
namespace {

Utility* utility() {
    return Utility::sharedUtility();
}

TEST(StoreLocations, EachEditionHasItsOwnPrivateLocalFolder) {
    ScopedDiaryHome home(QStringLiteral("Quillet2"));
    ASSERT_FALSE(QFileInfo::exists(home.storeFolder()));
    EXPECT_EQ(utility()->localStoreFolder(), home.dataHome() + QStringLiteral("/Quillet2"));
    ASSERT_TRUE(QFileInfo(home.storeFolder()).isDir());
    EXPECT_EQ(QFileInfo(home.storeFolder()).permissions() & 0x0077, QFile::Permissions());

    EXPECT_FALSE(utility()->isLocalStoreExist());
    EXPECT_FALSE(utility()->isLocalStoreMigrated());
    ASSERT_TRUE(writeBytes(home.storePath(), "diary"));
    EXPECT_TRUE(utility()->isLocalStoreExist());
    EXPECT_FALSE(utility()->isLocalStoreMigrated());
    ASSERT_TRUE(QFile::rename(home.storePath(), home.storePath() + QStringLiteral(".bak")));
    EXPECT_FALSE(utility()->isLocalStoreExist());
    EXPECT_TRUE(utility()->isLocalStoreMigrated());
}

// A fresh account under umask 000: ~/.local and ~/.local/share are made on
// the way to the diary's folder, and none of them may be open to others.
TEST(StoreLocations, EveryFolderMadeOnTheWayToTheDiaryIsOwnerOnlyUnderUmaskZero) {
    ScopedDiaryHome diaryHome(QStringLiteral("Quillet2"));
    const QString home = makeTempDir();
    ScopedEnv homeEnv("HOME", home.toLocal8Bit());
    ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
    const QString folder = [] {
        ScopedUmask none(0);
        return utility()->localStoreFolder();
    }();
    ASSERT_EQ(folder, home + QStringLiteral("/.local/share/Quillet2"));
    for (const QString& made : {QStringLiteral("/.local"), QStringLiteral("/.local/share"),
                                QStringLiteral("/.local/share/Quillet2")}) {
        EXPECT_EQ(modeOf(home + made), 0700) << made.toStdString();
    }
}

TEST(StoreLocations, TheFolderToOpenFollowsEditionSwitchAndCloudStore) {
    ScopedICloudSupport on;
    {
        // Edition 2 keeps its diary locally even with a cloud copy at hand.
        ScopedDiaryHome home(QStringLiteral("Wrenfold"));
        const QString container = signIn(home);
        ASSERT_TRUE(QDir().mkpath(container + QStringLiteral("/.nosync")));
        ASSERT_TRUE(writeBytes(container + QStringLiteral("/.nosync/entries.sqlite"), "cloud"));
        ASSERT_TRUE(utility()->isICloudEnabled());
        ASSERT_TRUE(utility()->isICloudStoreExist());
        EXPECT_EQ(utility()->inferredStoreFolder(), home.storeFolder());
    }
    {
        ScopedDiaryHome home(QStringLiteral("Quillet2"));
        const QString container = signIn(home);
        EXPECT_EQ(utility()->inferredStoreFolder(), home.storeFolder());
        ASSERT_TRUE(writeBytes(container + QStringLiteral("/.nosync/entries.sqlite"), "cloud"));
        EXPECT_EQ(utility()->cloudStoreFolder(), container + QStringLiteral("/.nosync"));
        EXPECT_EQ(utility()->inferredStoreFolder(), container + QStringLiteral("/.nosync"));
    }
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(StoreLocations, SignedOutAfterTheMoveThereIsNoFolderOnlyWithTheSwitchOn) {
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
    ASSERT_TRUE(writeBytes(home.storePath() + QStringLiteral(".bak"), "moved into the cloud"));
    ASSERT_FALSE(utility()->isICloudEnabled());
    {
        ScopedICloudSupport on;
        EXPECT_TRUE(utility()->inferredStoreFolder().isNull());
        signIn(home);
        EXPECT_EQ(utility()->inferredStoreFolder(), home.storeFolder());
        ASSERT_TRUE(QDir(home.cloudRoot()).removeRecursively());
        EXPECT_TRUE(utility()->inferredStoreFolder().isNull());
    }
    EXPECT_FALSE(utility()->isICloudSupported());
    EXPECT_EQ(utility()->inferredStoreFolder(), home.storeFolder());
}

TEST(StoreLocations, AFileNamedNosyncIsReportedAtEveryQueryAndCountsAsNoCloudStore) {
    ScopedDiaryHome home;
    const QString container = signIn(home);
    const QString nosync = container + QStringLiteral("/.nosync");
    ASSERT_TRUE(writeBytes(nosync, "in the way"));
    const QString message =
        QStringLiteral("Expected a folder to store application data, found a file (%1).")
            .arg(nosync);

    EXPECT_TRUE(utility()->cloudStoreFolder().isNull());
    EXPECT_TRUE(utility()->cloudStoreFolder().isNull());
    EXPECT_FALSE(utility()->isICloudStoreExist());
    EXPECT_FALSE(utility()->canMoveLocalStoreToICloud());
    ASSERT_EQ(alerts().errors.size(), 4u);
    for (const Error& e : alerts().errors) {
        EXPECT_EQ(e.domain, QStringLiteral("YOUR_ERROR_DOMAIN"));
        EXPECT_EQ(e.code, 101);
        EXPECT_EQ(e.localizedDescription, message);
    }
    {
        ScopedICloudSupport on;
        EXPECT_EQ(utility()->inferredStoreFolder(), home.storeFolder());
    }
    EXPECT_EQ(alerts().errors.size(), 5u);
    EXPECT_EQ(readBytes(nosync), QByteArray("in the way"));
}

TEST(StoreLocations, ANosyncThatCannotBeMadeOrReadIsReported) {
    ScopedDiaryHome home;
    const QString container = signIn(home);
    const QString nosync = container + QStringLiteral("/.nosync");

    // A link to nowhere: the folder is missing, and making it fails.
    ASSERT_TRUE(QFile::link(container + QStringLiteral("/nowhere/at/all"), nosync));
    EXPECT_TRUE(utility()->cloudStoreFolder().isNull());
    ASSERT_EQ(alerts().errors.size(), 1u);
    EXPECT_TRUE(alerts().errors[0].localizedDescription.contains(nosync));
    EXPECT_NE(alerts().errors[0].code, 101);

    // A link to itself cannot be read at all.
    ASSERT_TRUE(QFile::remove(nosync));
    ASSERT_TRUE(QFile::link(nosync, nosync));
    EXPECT_FALSE(utility()->isICloudStoreExist());
    ASSERT_EQ(alerts().errors.size(), 2u);
    EXPECT_TRUE(alerts().errors[1].localizedDescription.contains(nosync));
    EXPECT_TRUE(QFileInfo(nosync).isSymLink());
}

// Signed out: movable, with nothing made and nothing reported; signed in:
// movable once the cloud folder holds a diary.
TEST(StoreLocations, CanMoveLocalStoreToICloudHasThreeAnswers) {
    ScopedDiaryHome home;
    QSignalSpy changed(utility(), &Utility::canMoveLocalStoreToICloudChanged);
    EXPECT_FALSE(utility()->isICloudEnabled());
    EXPECT_TRUE(utility()->cloudStoreFolder().isNull());
    EXPECT_FALSE(utility()->isICloudStoreExist());
    EXPECT_TRUE(utility()->canMoveLocalStoreToICloud());
    EXPECT_TRUE(folderNames(home.cloudRoot()).isEmpty());

    const QString container = signIn(home);
    EXPECT_FALSE(utility()->canMoveLocalStoreToICloud());
    EXPECT_TRUE(QFileInfo(container + QStringLiteral("/.nosync")).isDir());
    EXPECT_EQ(QFileInfo(container + QStringLiteral("/.nosync")).permissions() & 0x0077,
              QFile::Permissions());

    ASSERT_TRUE(writeBytes(container + QStringLiteral("/.nosync/entries.sqlite"), "cloud"));
    EXPECT_TRUE(utility()->canMoveLocalStoreToICloud());

    // The setter only tells observers to ask again.
    utility()->setCanMoveLocalStoreToICloud(false);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(utility()->canMoveLocalStoreToICloud());
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(StoreLocations, TheCloudRootComesFromTheEnvironment) {
    ScopedDiaryHome home;
    EXPECT_EQ(CloudContainer::rootPath(), home.cloudRoot());
    // Unset, it is the data folder's QuilletCloud (CloudFolderSetup).
    {
        const QString fakeHome = makeTempDir();
        ScopedEnv userHome("HOME", fakeHome.toLocal8Bit());
        ScopedEnv tilde("QUILLET_CLOUD_ROOT", QByteArray("~/Sync/QuilletCloud"));
        EXPECT_EQ(CloudContainer::rootPath(), fakeHome + QStringLiteral("/Sync/QuilletCloud"));
        EXPECT_FALSE(utility()->isICloudEnabled());
        const QString container = fakeHome + QStringLiteral("/Sync/QuilletCloud/") +
                                  utility()->ubiquityContainerIdentifier();
        QDir().mkpath(container);
        EXPECT_EQ(utility()->cloudContainerURL(), container);
    }
    // A file where the container should be is no container.
    ASSERT_TRUE(writeBytes(
        home.cloudRoot() + QLatin1Char('/') + utility()->ubiquityContainerIdentifier(), "file"));
    EXPECT_FALSE(utility()->isICloudEnabled());
}

TEST(StoreLocations, TheOldDataFolderIsNamedButNeverMade) {
    ScopedDiaryHome home;
    const int terminates = terminateCount();
    const QString folder = utility()->applicationSupportFolder();
    EXPECT_EQ(folder, home.dataHome() + QStringLiteral("/QuilletMac"));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_FALSE(utility()->isOldDataExist());
    EXPECT_FALSE(QFileInfo::exists(folder));

    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(utility()->applicationSupportFolder(), folder);
    ASSERT_TRUE(writeBytes(folder + QStringLiteral("/Quillet.sqlite"), "old"));
    EXPECT_TRUE(utility()->isOldDataExist());
    EXPECT_TRUE(alerts().panels.empty());
    EXPECT_EQ(terminateCount(), terminates);
}

// Records on which thread each alert was shown.
class ThreadRecordingAlerts : public AlertPresenter {
public:
    void presentError(const Error&) override { threads.push_back(QThread::currentThread()); }
    void runAlertPanel(const QString& title, const QString& message,
                       const QString& button) override {
        threads.push_back(QThread::currentThread());
        panels.push_back({title, message, button});
    }
    std::vector<QThread*> threads;
    std::vector<QStringList> panels;
};

// No data folder: every question shows the alert and quits, on the main
// thread also when asked from another.
TEST(StoreLocations, NoOldDataFolderShowsTheAlertAndQuitsOnTheMainThread) {
    ScopedDiaryHome home;
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
    utility();
    ThreadRecordingAlerts recording;
    Alerts::setPresenter(&recording);
    std::vector<QThread*> terminatedOn;
    Application::setTerminateHandler([&] { terminatedOn.push_back(QThread::currentThread()); });

    std::atomic<bool> done{false};
    QString answer = QStringLiteral("unset");
    std::unique_ptr<QThread> asker(QThread::create([&] {
        answer = utility()->applicationSupportFolder();
        done = true;
    }));
    asker->start();
    // The main thread keeps serving events while the other thread waits for the alert.
    for (int turn = 0; turn < 2000 && !done; ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    asker->wait();
    installTestDefaults();

    ASSERT_TRUE(done);
    EXPECT_TRUE(answer.isNull());
    ASSERT_EQ(recording.threads.size(), 1u);
    EXPECT_EQ(recording.threads[0], QCoreApplication::instance()->thread());
    EXPECT_EQ(recording.panels[0][1], QStringLiteral("Can't find application support folder"));
    ASSERT_EQ(terminatedOn.size(), 1u);
    EXPECT_EQ(terminatedOn[0], QCoreApplication::instance()->thread());

    const int terminates = terminateCount();
    const QStringList panel{QStringLiteral("Alert"),
                            QStringLiteral("Can't find application support folder"),
                            QStringLiteral("Quit")};
    EXPECT_TRUE(utility()->applicationSupportFolder().isNull());
    ASSERT_EQ(alerts().panels.size(), 1u);
    EXPECT_EQ(alerts().panels[0], panel);
    EXPECT_EQ(terminateCount(), terminates + 1);
    EXPECT_FALSE(utility()->isOldDataExist());
    EXPECT_EQ(alerts().panels.size(), 2u);
    EXPECT_EQ(terminateCount(), terminates + 2);
}

} // namespace
} // namespace quillet::test
