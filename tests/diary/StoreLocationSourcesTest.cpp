// The store locations built on their own sources: a data folder and a
// container lookup that the test controls, no environment involved.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "diary/Edition.h"
#include "diary/StoreLocations.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace quillet::test {
namespace {

// Runs the scope in a fresh working folder, to see that nothing lands there.
class ScopedWorkingFolder {
public:
    ScopedWorkingFolder() : old_(QDir::currentPath()), folder_(makeTempDir()) {
        QDir::setCurrent(folder_);
    }
    ~ScopedWorkingFolder() { QDir::setCurrent(old_); }
    QString path() const { return folder_; }

private:
    QString old_;
    QString folder_;
};

TEST(StoreLocationSources, WithoutADataFolderThereIsNoLocalFolderAndNothingIsMade) {
    alerts().clear();
    ScopedWorkingFolder working;
    Edition edition([] { return QStringLiteral("Quillet2"); });
    StoreLocations locations(
        edition, [] { return QString(); }, [](const QString&) { return QString(); });
    EXPECT_TRUE(locations.localStoreFolder().isNull());
    EXPECT_TRUE(locations.inferredStoreFolder().isNull());
    EXPECT_FALSE(locations.isLocalStoreExist());
    EXPECT_FALSE(locations.isLocalStoreMigrated());
    locations.setICloudSupportedForTesting(true);
    EXPECT_TRUE(locations.inferredStoreFolder().isNull());
    EXPECT_TRUE(folderNames(working.path()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Quillet2")));
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(StoreLocationSources, AnUnnamedBundleKeepsItsDiaryInAFolderOfItsOwn) {
    const QString data = makeTempDir();
    QString bundle;
    Edition edition([&bundle] { return bundle; });
    StoreLocations locations(
        edition, [data] { return data; }, [](const QString&) { return QString(); });
    EXPECT_EQ(locations.localStoreFolder(), data + QStringLiteral("/Quillet"));
    EXPECT_EQ(locations.inferredStoreFolder(), data + QStringLiteral("/Quillet"));
    EXPECT_EQ(folderNames(data), QStringList{QStringLiteral("Quillet")});
    // The name is asked at every call.
    bundle = QStringLiteral("Wrenfold");
    EXPECT_EQ(locations.localStoreFolder(), data + QStringLiteral("/Wrenfold"));
}

TEST(StoreLocationSources, TheContainerIsAskedForAtEveryQuestion) {
    alerts().clear();
    const QString data = makeTempDir();
    const QString first = makeTempDir();
    const QString second = makeTempDir();
    QString container = first;
    QStringList identifiers;
    Edition edition([] { return QStringLiteral("Quillet2"); });
    StoreLocations locations(
        edition, [data] { return data; },
        [&](const QString& identifier) {
            identifiers.append(identifier);
            return container;
        });
    locations.setICloudSupportedForTesting(true);
    ASSERT_TRUE(QDir().mkpath(first + QStringLiteral("/.nosync")));
    ASSERT_TRUE(writeBytes(first + QStringLiteral("/.nosync/entries.sqlite"), "cloud"));
    EXPECT_EQ(locations.inferredStoreFolder(), first + QStringLiteral("/.nosync"));
    EXPECT_EQ(identifiers.value(0), locations.ubiquityContainerIdentifier());

    // Another container (another account): no diary there yet, so not movable.
    container = second;
    EXPECT_FALSE(locations.canMoveLocalStoreToICloud());
    EXPECT_TRUE(QFileInfo(second + QStringLiteral("/.nosync")).isDir());
    EXPECT_EQ(locations.inferredStoreFolder(), data + QStringLiteral("/Quillet2"));
    EXPECT_TRUE(alerts().errors.empty());
}

} // namespace
} // namespace quillet::test
