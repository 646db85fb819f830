// The temporary folders of the tests go with the test (or scope) that made
// them, whatever the test did to their permissions and whether it failed.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdlib>

namespace quillet::test {
namespace {

constexpr QFile::Permissions kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner;

bool writeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

// A folder, a read-only folder inside it holding an unreadable file, and a
// folder that may not even be listed.
void fillWithLockedContent(const QString& folder) {
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/locked/deeper")));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/locked/deeper/secret")));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/locked/deeper/secret"), {}));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/locked/deeper"), kReadOnlyFolder));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/locked"), kReadOnlyFolder));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/hidden")));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/hidden"), QFile::WriteOwner));
}

QStringList everythingIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

TEST(TempFolders, AScopeRemovesItsFoldersWithWhatTheTestLockedButNotWhatLinksLeadTo) {
    const QString outside = makeTempDir();
    ASSERT_TRUE(writeFile(outside + QStringLiteral("/kept")));
    QString inner;
    QString second;
    {
        const TempFolderScope scope;
        inner = makeTempDir();
        second = makeTempDir();
        ASSERT_NE(inner, second);
        fillWithLockedContent(inner);
        ASSERT_TRUE(QFile::link(outside, inner + QStringLiteral("/link")));
        ASSERT_TRUE(QFile::setPermissions(second, kReadOnlyFolder));
        EXPECT_TRUE(QFileInfo::exists(inner + QStringLiteral("/locked/deeper")));
    }
    EXPECT_FALSE(QFileInfo::exists(inner));
    EXPECT_FALSE(QFileInfo::exists(second));
    // The folder of the enclosing scope and what the link pointed at stay.
    EXPECT_EQ(everythingIn(outside), QStringList{QStringLiteral("kept")});

    EXPECT_TRUE(removeFolder(outside));
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_TRUE(removeFolder(outside)) << "nothing left is success";
    EXPECT_FALSE(removeFolder(QString()));
}

// Run only in the child process of the next test: fails after locking folders
// of its own and in the process's home.
class FailingProbe : public ::testing::Test {
public:
    void TestBody() override {
        fillWithLockedContent(makeTempDir());
        fillWithLockedContent(QDir::homePath());
        ADD_FAILURE() << "the probe fails on purpose";
    }
};

[[maybe_unused]] const bool kProbeRegistered = [] {
    if (!std::getenv("QUILLET_TEMP_FOLDER_PROBE")) {
        return false;
    }
    ::testing::RegisterTest("TempFolderProbe", "FailsWithLockedFolders", nullptr, nullptr, __FILE__,
                            __LINE__, []() -> ::testing::Test* { return new FailingProbe; });
    return true;
}();

TEST(TempFolders, AFailingTestLeavesNothingInTheTemporaryFolder) {
    const QString privateTmp = makeTempDir();
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), privateTmp);
    env.insert(QStringLiteral("QUILLET_TEMP_FOLDER_PROBE"), QStringLiteral("1"));
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TempFolderProbe.*")});
    ASSERT_TRUE(probe.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(probe.readAll());
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 1) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("the probe fails on purpose")))
        << output.toStdString();
    EXPECT_EQ(everythingIn(privateTmp), QStringList()) << output.toStdString();
}

} // namespace
} // namespace quillet::test
