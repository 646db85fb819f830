#include "app/InstanceHandover.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace quillet {
namespace {

// A second launch, from another thread: it waits for the running instance's
// answer, which this thread's event loop gives.
bool handOverFromAnotherThread(const QString& name) {
    std::atomic<int> result{-1};
    std::thread launch([&] { result = InstanceHandover::handOver(name, 2000) ? 1 : 0; });
    QElapsedTimer waited;
    waited.start();
    while (result < 0 && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    launch.join();
    return result == 1;
}

TEST(InstanceHandover, ASecondLaunchRaisesTheFirstThroughTheSocket) {
    const QString runtime = test::makeTempDir();
    const QString name = InstanceHandover::serverName(
        QStringLiteral("Quillet2"), QStringLiteral("/home/a/.local/share"), runtime);
    EXPECT_FALSE(InstanceHandover::handOver(name, 500)) << "nobody listens yet";

    InstanceHandover running;
    ASSERT_TRUE(running.listen(name));
    QSignalSpy raised(&running, &InstanceHandover::raiseRequested);
    EXPECT_TRUE(handOverFromAnotherThread(name));
    EXPECT_EQ(raised.count(), 1);
    EXPECT_TRUE(handOverFromAnotherThread(name));
    EXPECT_EQ(raised.count(), 2);
}

TEST(InstanceHandover, ASocketLeftByADeadProcessIsTakenOver) {
    const QString runtime = test::makeTempDir();
    const QString name =
        InstanceHandover::serverName(QStringLiteral("Wrenfold"), QStringLiteral("/data"), runtime);
    {
        // What a killed process leaves: the socket file, nobody behind it.
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(InstanceHandover::handOver(name, 500));
    InstanceHandover next;
    ASSERT_TRUE(next.listen(name));
    QSignalSpy raised(&next, &InstanceHandover::raiseRequested);
    EXPECT_TRUE(handOverFromAnotherThread(name));
    EXPECT_EQ(raised.count(), 1);
}

TEST(InstanceHandover, EachEditionAndEachDiaryHasItsOwnSocket) {
    const QString runtime = QStringLiteral("/run/user/1000");
    const QString a = InstanceHandover::serverName(QStringLiteral("Quillet2"),
                                                   QStringLiteral("/home/a/.local/share"), runtime);
    EXPECT_TRUE(a.startsWith(runtime + QStringLiteral("/Quillet2-")));
    EXPECT_NE(a, InstanceHandover::serverName(QStringLiteral("Wrenfold"),
                                              QStringLiteral("/home/a/.local/share"), runtime));
    EXPECT_NE(a, InstanceHandover::serverName(QStringLiteral("Quillet2"),
                                              QStringLiteral("/home/b/.local/share"), runtime));
    EXPECT_EQ(a, InstanceHandover::serverName(QStringLiteral("Quillet2"),
                                              QStringLiteral("/home/a/.local/share/"), runtime));
    EXPECT_LT(a.size(), 100) << "socket paths are short";
}

} // namespace
} // namespace quillet
