#include "TestSupport.h"
#include "core/Bundle.h"
#include "core/UserDefaults.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillet {
namespace {

using test::makeTempDir;

TEST(UserDefaults, AbsentKeysReadAsEmptyValuesAndWritesSurviveANewObject) {
    const QString path = makeTempDir() + QStringLiteral("/Quillet2/Quillet2.conf");
    {
        UserDefaults defaults(path);
        EXPECT_FALSE(defaults.objectForKey(QStringLiteral("passcode")).isValid());
        EXPECT_TRUE(defaults.stringForKey(QStringLiteral("passcode")).isNull());
        EXPECT_FALSE(defaults.boolForKey(QStringLiteral("passcodeLocked")));
        EXPECT_EQ(defaults.floatForKey(QStringLiteral("currentFontSize")), 0.0f);
        EXPECT_EQ(defaults.integerForKey(QStringLiteral("missing")), 0);

        defaults.setObject(QStringLiteral("0123"), QStringLiteral("passcode"));
        defaults.setBool(true, QStringLiteral("passcodeLocked"));
        defaults.setFloat(11.6f, QStringLiteral("currentFontSize"));
        defaults.setObject(QStringLiteral("DejaVu Sans"), QStringLiteral("currentFontName"));
        EXPECT_TRUE(defaults.synchronize());
    }
    UserDefaults reread(path);
    // A passcode with a leading zero stays text, and a float comes back exactly.
    EXPECT_EQ(reread.stringForKey(QStringLiteral("passcode")), QStringLiteral("0123"));
    EXPECT_TRUE(reread.boolForKey(QStringLiteral("passcodeLocked")));
    EXPECT_EQ(reread.floatForKey(QStringLiteral("currentFontSize")), 11.6f);
    EXPECT_EQ(reread.stringForKey(QStringLiteral("currentFontName")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(reread.allKeys().size(), 4);

    reread.removeObjectForKey(QStringLiteral("passcode"));
    reread.synchronize();
    EXPECT_FALSE(UserDefaults(path).objectForKey(QStringLiteral("passcode")).isValid());
}

TEST(UserDefaults, FileIsReadableByItsOwnerOnlyEvenWhenItWasWiderBefore) {
    const QString folder = makeTempDir();
    const QString path = folder + QStringLiteral("/Wrenfold.conf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nisUseICloudAsked=true\n");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    UserDefaults defaults(path);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("isUseICloudAsked")));
    defaults.setObject(QStringLiteral("4321"), QStringLiteral("passcode"));
    defaults.synchronize();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(UserDefaults, DefaultFileFollowsTheBundleNameAndConfigHome) {
    test::ScopedEnv config("XDG_CONFIG_HOME", QByteArray("/tmp/quillet-config-test"));
    const QString old = Bundle::mainBundle().bundleName();
    Bundle::mainBundle().setBundleName(QStringLiteral("Wrenfold"));
    EXPECT_EQ(UserDefaults::defaultFilePath(), QStringLiteral("/tmp/quillet-config-test/Wrenfold/Wrenfold.conf"));
    Bundle::mainBundle().setBundleName(QString());
    EXPECT_EQ(UserDefaults::defaultFilePath(), QStringLiteral("/tmp/quillet-config-test/Quillet/Quillet.conf"));
    Bundle::mainBundle().setBundleName(old);
}

} // namespace
} // namespace quillet
