// One Qt application object per test process, created before any test runs.
// Every test process gets a throw-away home so that no test touches the
// developer's own diary, settings or caches; it is removed when the tests end,
// after the application object is gone.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#ifdef QUILLET_TEST_HAS_STORE
#include "store/cloud/ContainerKey.h"
#endif

#ifdef QUILLET_TEST_CORE_ONLY
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const quillet::test::TempFolderScope process;
    const QString home = quillet::test::makeTempDir();
    if (home.isEmpty()) {
        return 2;
    }
    const QByteArray root = QFile::encodeName(home);
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
    QDir().mkpath(home + "/runtime");
    QFile::setPermissions(home + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    unsetenv("QUILLET_CLOUD_ROOT");
    unsetenv("QUILLET_TEXT_EDITOR");
    // Every cloud container of the tests is sealed under one passphrase,
    // derived at the least cost: a second per container would add up.
    QFile passphrase(home + "/cloud-passphrase");
    if (passphrase.open(QIODevice::WriteOnly) && passphrase.write("a test passphrase\n") > 0) {
        setenv("QUILLET_CLOUD_PASSPHRASE_FILE",
               QFile::encodeName(passphrase.fileName()).constData(), 1);
    }
    passphrase.close();
#ifdef QUILLET_TEST_HAS_STORE
    quillet::cloud::ContainerKey::setDefaultCost(quillet::cloud::cheapestKeyCost());
#endif
    // Tests that need syslog quiet keep stderr; the system log is not wanted here.
    setenv("QUILLET_NO_SYSLOG", "1", 1);

    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    quillet::test::installTestDefaults();
    return RUN_ALL_TESTS();
}
