#include "app/InstanceHandover.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

TEST(InstanceHandover, TheSocketIsTheUsersAloneAndGoesWithItsOwnerOnly) {
    const QString runtime = test::makeTempDir();
    const QString name = InstanceHandover::serverName(QStringLiteral("Quillet2"),
                                                      QStringLiteral("/home/c"), runtime);
    {
        auto first = std::make_unique<InstanceHandover>();
        ASSERT_TRUE(first->listen(name));
        EXPECT_EQ(QFileInfo(name).permissions() &
                      (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                  QFile::Permissions())
            << "other users cannot connect";
        EXPECT_EQ(QDir(runtime).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                          QDir::NoDotAndDotDot),
                  QStringList{QFileInfo(name).fileName()})
            << "nothing left beside it";

        // A peer that is no launch of the diary raises nothing, and the next launch is still heard.
        std::thread stranger([&] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, QFile::encodeName(name).constData(),
                         sizeof address.sun_path - 1);
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
                const QByteArray noise(1000, 'x');
                (void)::send(fd, noise.constData(), size_t(noise.size()), MSG_NOSIGNAL);
                (void)::send(fd, "lower\n", 6, MSG_NOSIGNAL);
            }
            ::close(fd);
        });
        QSignalSpy raised(first.get(), &InstanceHandover::raiseRequested);
        EXPECT_TRUE(handOverFromAnotherThread(name));
        stranger.join();
        QCoreApplication::processEvents();
        EXPECT_EQ(raised.count(), 1);

        // A later instance took the name over: the first one's end leaves it there.
        InstanceHandover second;
        ASSERT_TRUE(second.listen(name));
        first.reset();
        QSignalSpy raisedSecond(&second, &InstanceHandover::raiseRequested);
        EXPECT_TRUE(handOverFromAnotherThread(name));
        EXPECT_EQ(raisedSecond.count(), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(name)) << "the last owner took its socket with it";
    {
        InstanceHandover again;
        ASSERT_TRUE(again.listen(name));
    }
    EXPECT_FALSE(QFileInfo::exists(name));
    EXPECT_FALSE(InstanceHandover::handOver(name, 300));
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
