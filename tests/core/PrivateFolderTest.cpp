// Folders the application makes are its owner's alone, whatever the umask.
#include "TestSupport.h"

#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"
#include "core/PropertyList.h"
#include "core/UserDefaults.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
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

// The settings folder and its parents (~/.config on a fresh account), and
// the file, even when it was wider before.
TEST(PrivateFolder, TheSettingsFolderAndItsParentsAreOwnerOnlyUnderUmaskZero) {
    const QString home = test::makeTempDir();
    ScopedUmask umask(0);
    UserDefaults defaults(home + QStringLiteral("/.config/Quillet2/Quillet2.conf"));
    defaults.setBool(true, QStringLiteral("isOldDataImported"));
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(modeOf(home + QStringLiteral("/.config")), 0700);
    EXPECT_EQ(modeOf(home + QStringLiteral("/.config/Quillet2")), 0700);
    EXPECT_EQ(modeOf(defaults.filePath()), 0600);
    ASSERT_EQ(::chmod(QFile::encodeName(defaults.filePath()).constData(), 0644), 0);
    defaults.setObject(QStringLiteral("4321"), QStringLiteral("passcode"));
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(modeOf(defaults.filePath()), 0600);
}

// Where others may look or fill: written owner-only and never through a
// link, read only when a regular file of a sensible size.
TEST(PrivateFile, WritesOwnerOnlyReplacingALinkAndReadsOnlyRegularFiles) {
    const QString folder = test::makeTempDir();
    ScopedUmask umask(0);
    const QString target = folder + QStringLiteral("/target");
    ASSERT_TRUE(PrivateFile::writeWhole(target, "kept", nullptr));
    const QString path = folder + QStringLiteral("/preview.txt");
    ASSERT_TRUE(QFile::link(target, path));
    QString why;
    ASSERT_TRUE(PrivateFile::writeWhole(path, "written", &why)) << why.toStdString();
    EXPECT_FALSE(QFileInfo(path).isSymLink()) << "the link is replaced";
    QByteArray bytes;
    ASSERT_TRUE(PrivateFile::readRegular(target, 100, &bytes, nullptr));
    EXPECT_EQ(bytes, "kept") << "its target is never written";
    EXPECT_EQ(modeOf(path), 0600);
    ASSERT_TRUE(PropertyList::writeDictionary({{QStringLiteral("sessionID"), QStringLiteral("x")}},
                                              folder + QStringLiteral("/sessionID.plist")));
    EXPECT_EQ(modeOf(folder + QStringLiteral("/sessionID.plist")), 0600);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/.preview.txt.nosync")));

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/urandom"), folder + QStringLiteral("/random")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/fifo")).constData(), 0600), 0);
    const struct {
        const char* name;
        qint64 max;
        const char* said;
    } refused[] = {
        {"random", 1 << 20, "link"},
        {"fifo", 1 << 20, "not a regular file"},
        {".", 1 << 20, "not a regular file"},
        {"preview.txt", 3, "more than it may hold"},
        {"missing", 1 << 20, ""},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(PrivateFile::readRegular(folder + QLatin1Char('/') + QLatin1String(r.name),
                                              r.max, &bytes, &why))
            << r.name;
        EXPECT_TRUE(why.contains(QLatin1String(r.said))) << r.name << ": " << why.toStdString();
    }
    EXPECT_TRUE(PrivateFile::look(folder + QStringLiteral("/random")).exists);
    EXPECT_FALSE(PrivateFile::look(folder + QStringLiteral("/random")).regular);

    // Below a folder others fill: only real folders of this user's own.
    EXPECT_TRUE(PrivateFolder::makeOwnPath(folder, QStringLiteral("Logs/writer"), &why));
    EXPECT_EQ(modeOf(folder + QStringLiteral("/Logs/writer")), 0700);
    ASSERT_TRUE(QFile::link(test::makeTempDir(), folder + QStringLiteral("/Linked")));
    EXPECT_FALSE(PrivateFolder::makeOwnPath(folder, QStringLiteral("Linked/writer"), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("(a link)"))) << why.toStdString();
    EXPECT_FALSE(PrivateFolder::makeOwnPath(folder, QStringLiteral("target/writer"), &why));
    EXPECT_TRUE(PrivateFile::isOwnFolder(folder + QStringLiteral("/Logs")));
    EXPECT_FALSE(PrivateFile::isOwnFolder(folder + QStringLiteral("/Linked")));
}

} // namespace
} // namespace quillet
