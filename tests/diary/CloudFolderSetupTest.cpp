// Setting up the cloud folder from the window: the chosen root is kept in
// the settings (the environment still wins), the container is made, and a
// Syncthing folder around it learns to leave ".nosync" alone, once.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "diary/CloudFolderSetup.h"
#include "diary/Utility.h"
#include "store/CloudContainer.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

TEST(CloudFolderSetup, ChoosingAFolderMakesTheContainerRemembersItAndTellsSyncthingOnce) {
    ScopedDiaryHome home;
    ScopedEnv noEnvironment("QUILLET_CLOUD_ROOT", std::nullopt);
    Utility* utility = Utility::sharedUtility();
    const QString id = utility->ubiquityContainerIdentifier();
    const QString defaultRoot = home.dataHome() + QStringLiteral("/QuilletCloud");
    EXPECT_EQ(CloudContainer::rootPath(), defaultRoot);

    // A Syncthing folder two levels up, its .stignore holding other patterns.
    const QString sync = makeTempDir();
    ASSERT_TRUE(QDir().mkpath(sync + QStringLiteral("/.stfolder")) &&
                QDir().mkpath(sync + QStringLiteral("/Notes/Quillet")));
    ASSERT_TRUE(writeBytes(sync + QStringLiteral("/.stignore"), "*.tmp"));
    const QString root = sync + QStringLiteral("/Notes/Quillet");
    struct Case {
        QString chosen;
        const char* said;
        QByteArray ignore;
    };
    const std::vector<Case> cases{
        {root, "Added", "*.tmp\n*.nosync\n"},
        {root + QLatin1Char('/') + id, "already leaves out",
         "*.tmp\n*.nosync\n"}, // the container itself
    };
    for (const Case& c : cases) {
        const CloudFolderSetup::Outcome outcome = CloudFolderSetup::chooseFolder(c.chosen, id);
        ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
        EXPECT_EQ(outcome.container, root + QLatin1Char('/') + id);
        EXPECT_TRUE(outcome.message.contains(QString::fromLatin1(c.said)))
            << outcome.message.toStdString();
        EXPECT_EQ(readBytes(sync + QStringLiteral("/.stignore")), c.ignore);
        EXPECT_EQ(CloudContainer::rootPath(), root);
        EXPECT_EQ(utility->cloudContainerURL(), outcome.container) << "signed in";
    }

    // The environment wins while it is set, and the choice says so.
    {
        ScopedEnv environment("QUILLET_CLOUD_ROOT", home.cloudRoot().toLocal8Bit());
        EXPECT_EQ(CloudContainer::rootPath(), home.cloudRoot());
        EXPECT_TRUE(CloudFolderSetup::chooseFolder(root, id).message.contains(
            QStringLiteral("QUILLET_CLOUD_ROOT")));
    }
    EXPECT_EQ(CloudContainer::rootPath(), root);

    // A folder outside Syncthing is only made; a symlinked .stignore is not written through.
    const QString plain = makeTempDir();
    EXPECT_FALSE(
        CloudFolderSetup::chooseFolder(plain, id).message.contains(QStringLiteral("Syncthing")));
    const QString linked = makeTempDir();
    ASSERT_TRUE(QDir().mkpath(linked + QStringLiteral("/.stfolder")));
    ASSERT_TRUE(
        QFile::link(sync + QStringLiteral("/.stignore"), linked + QStringLiteral("/.stignore")));
    EXPECT_EQ(CloudFolderSetup::ignoreNoSync(linked), CloudFolderSetup::IgnoreOutcome::Failed);
    EXPECT_EQ(CloudFolderSetup::syncthingFolderAround(plain), QString());

    EXPECT_TRUE(CloudFolderSetup::stopUsing());
    EXPECT_TRUE(CloudFolderSetup::chosenRoot().isEmpty());
    EXPECT_EQ(CloudContainer::rootPath(), defaultRoot);
    EXPECT_TRUE(QDir(root + QLatin1Char('/') + id).exists()) << "its files stay";
}

} // namespace
} // namespace quillet::test
