// Folders the application makes are its owner's alone, whatever the umask.
#include "TestSupport.h"

#include "core/PrivateFolder.h"
#include "core/UserDefaults.h"

#include <gtest/gtest.h>

#include <QFile>
#include <sys/stat.h>

namespace quillet {
namespace {

using test::modeOf;
using test::ScopedUmask;

TEST(PrivateFolder, EveryFolderItMakesIsOwnerOnlyWhateverTheUmask) {
    const QString home = test::makeTempDir();
    ASSERT_EQ(::chmod(QFile::encodeName(home).constData(), 0755), 0);
    for (const mode_t mask : {mode_t(0), mode_t(0022), mode_t(0277)}) {
        SCOPED_TRACE(mask);
        ScopedUmask umask(mask);
        const QString top = home + QStringLiteral("/mask%1").arg(mask);
        QString reason;
        ASSERT_TRUE(
            PrivateFolder::makePath(top + QStringLiteral("/.local/share/Quillet2"), &reason))
            << reason.toStdString();
        for (const QString& made :
             {top, top + QStringLiteral("/.local"), top + QStringLiteral("/.local/share"),
              top + QStringLiteral("/.local/share/Quillet2")}) {
            EXPECT_EQ(modeOf(made), 0700) << made.toStdString();
        }
        EXPECT_EQ(modeOf(home), 0755) << "a folder that was there is left as it is";
        EXPECT_TRUE(PrivateFolder::makePath(top + QStringLiteral("/.local/share/Quillet2")))
            << "already there";
    }
}

TEST(PrivateFolder, APathThroughAFileIsRefusedWithItsReason) {
    const QString file = test::makeTempDir() + QStringLiteral("/file");
    QFile made(file);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.close();
    QString reason;
    EXPECT_FALSE(PrivateFolder::makePath(file + QStringLiteral("/inside"), &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(strerror(ENOTDIR)));
    EXPECT_FALSE(PrivateFolder::makePath(file, &reason));
    EXPECT_FALSE(PrivateFolder::makePath(QString(), &reason));
}

// The settings folder and its parents (~/.config on a fresh account).
TEST(PrivateFolder, TheSettingsFolderAndItsParentsAreOwnerOnlyUnderUmaskZero) {
    const QString home = test::makeTempDir();
    ScopedUmask umask(0);
    UserDefaults defaults(home + QStringLiteral("/.config/Quillet2/Quillet2.conf"));
    defaults.setBool(true, QStringLiteral("isOldDataImported"));
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(modeOf(home + QStringLiteral("/.config")), 0700);
    EXPECT_EQ(modeOf(home + QStringLiteral("/.config/Quillet2")), 0700);
    EXPECT_EQ(modeOf(defaults.filePath()), 0600);
}

} // namespace
} // namespace quillet
