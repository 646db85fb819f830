#include "core/UserDefaults.h"
#include "TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::makeTempDir;

bool writeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("not a folder") == 12;
}

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
    EXPECT_EQ(reread.stringForKey(QStringLiteral("currentFontName")),
              QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(reread.allKeys().size(), 4);

    reread.removeObjectForKey(QStringLiteral("passcode"));
    reread.synchronize();
    EXPECT_FALSE(UserDefaults(path).objectForKey(QStringLiteral("passcode")).isValid());
}

// Tests run as root too, where permissions do not bind: the settings file is
// put where a file stands in for its folder, which fails for everyone.
TEST(UserDefaults, AWriteThatFailsIsReportedAndTakenBackUntilTheFileCanBeWrittenAgain) {
    const QString folder = makeTempDir() + QStringLiteral("/Quillet2");
    ASSERT_TRUE(writeFile(folder));
    UserDefaults defaults(folder + QStringLiteral("/Quillet2.conf"));
    test::alerts().clear();

    defaults.setBool(true, QStringLiteral("passcodeLocked"));
    defaults.setObject(QStringLiteral("1234"), QStringLiteral("passcode"));
    defaults.removeObjectForKey(QStringLiteral("passcode"));
    EXPECT_FALSE(defaults.synchronize());
    ASSERT_EQ(test::alerts().errors.size(), 1u);
    const Error& error = test::alerts().errors[0];
    EXPECT_EQ(error.code, FileWriteUnknownError);
    EXPECT_EQ(
        error.localizedDescription,
        QStringLiteral(
            "Your settings could not be saved to \u201c%1\u201d (\u201c%2\u201d is not a folder). "
            "The change was not kept.")
            .arg(defaults.filePath(), folder));
    // Read as the next launch would find them: nothing was stored.
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("passcodeLocked")).isValid());
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("passcode")).isValid());

    // Once the folder can be made, writes land and are answered as such again.
    ASSERT_TRUE(QFile::remove(folder));
    defaults.setFloat(14.5f, QStringLiteral("currentFontSize"));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(test::alerts().errors.size(), 1u);
    UserDefaults nextLaunch(defaults.filePath());
    EXPECT_EQ(nextLaunch.floatForKey(QStringLiteral("currentFontSize")), 14.5f);
    EXPECT_FALSE(nextLaunch.objectForKey(QStringLiteral("passcodeLocked")).isValid());

    // And a later failure is told again.
    ASSERT_TRUE(test::removeFolder(folder));
    ASSERT_TRUE(writeFile(folder));
    defaults.setBool(true, QStringLiteral("passcodeLocked"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(test::alerts().errors.size(), 2u);
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("currentFontSize")), 14.5f)
        << "what was stored stays";
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("passcodeLocked")));
    test::alerts().clear();
}

TEST(UserDefaults, DefaultFileFollowsTheBundleNameAndConfigHome) {
    test::ScopedEnv config("XDG_CONFIG_HOME", QByteArray("/tmp/quillet-config-test"));
    for (const auto& [bundle, file] :
         {std::pair{"Wrenfold", "Wrenfold/Wrenfold.conf"}, std::pair{"", "Quillet/Quillet.conf"}}) {
        test::ScopedBundleName name(QString::fromLatin1(bundle));
        EXPECT_EQ(UserDefaults::defaultFilePath(),
                  QStringLiteral("/tmp/quillet-config-test/") + QLatin1String(file));
    }
}

} // namespace
} // namespace quillet
