#include "app/InstanceHandover.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A plain connection to the socket, as any local program may open one; -1 when refused.
int connectTo(const QString& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(name).constData(),
                 sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(InstanceHandover, ASecondLaunchRaisesTheFirstThroughTheSocketAndADeadOnesIsTakenOver) {
    const QString runtime = test::makeTempDir();
    const QString name = InstanceHandover::serverName(
        QStringLiteral("Quillet2"), QStringLiteral("/home/a/.local/share"), runtime);
    EXPECT_FALSE(InstanceHandover::handOver(name, 500)) << "nobody listens yet";
    {
        // What a killed process leaves: the socket file, nobody behind it.
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(InstanceHandover::handOver(name, 500));

    InstanceHandover running;
    ASSERT_TRUE(running.listen(name));
    QSignalSpy raised(&running, &InstanceHandover::raiseRequested);
    EXPECT_TRUE(handOverFromAnotherThread(name));
    EXPECT_EQ(raised.count(), 1);
    EXPECT_TRUE(handOverFromAnotherThread(name));
    EXPECT_EQ(raised.count(), 2);
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
            const int fd = connectTo(name);
            if (fd >= 0) {
                const QByteArray noise(1000, 'x');
                (void)::send(fd, noise.constData(), size_t(noise.size()), MSG_NOSIGNAL);
                (void)::send(fd, "lower\n", 6, MSG_NOSIGNAL);
                ::close(fd);
            }
        });
        QSignalSpy raised(first.get(), &InstanceHandover::raiseRequested);
        EXPECT_TRUE(handOverFromAnotherThread(name));
        stranger.join();
        QCoreApplication::processEvents();
        EXPECT_EQ(raised.count(), 1);

        // Connections that say nothing are closed after a while.
        first->setIdleTimeout(200);
        std::vector<int> idle;
        for (int i = 0; i < 8; ++i) {
            idle.push_back(connectTo(name));
            ASSERT_GE(idle.back(), 0);
        }
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 600) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        for (int fd : idle) {
            char byte;
            EXPECT_EQ(::recv(fd, &byte, 1, MSG_DONTWAIT), 0) << "closed by the running instance";
            ::close(fd);
        }
        EXPECT_TRUE(handOverFromAnotherThread(name));
        EXPECT_EQ(raised.count(), 2);

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
    const QString runtime = test::makeTempDir();
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

// Listens at `path` and answers "ok" to everyone, as another account could.
class Squatter {
public:
    explicit Squatter(const QString& path) : path_(QFile::encodeName(path)) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.constData(), sizeof address.sun_path - 1);
        ::unlink(path_.constData());
        listening_ =
            ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd_, 8) == 0;
        thread_ = std::thread([this] {
            while (!stop_) {
                const int client = ::accept(fd_, nullptr, nullptr);
                if (client >= 0) {
                    (void)::send(client, "ok\n", 3, MSG_NOSIGNAL);
                    ::close(client);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~Squatter() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
        ::unlink(path_.constData());
    }
    bool listening() const { return listening_; }

private:
    QByteArray path_;
    int fd_ = -1;
    bool listening_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(InstanceHandover, ASocketOnlyInAFolderOfTheUsersAloneSoASquatterInTmpKeepsNoWindowShut) {
    // Socket paths are short (about 100 bytes): a home in /tmp, not in a
    // long temporary folder; and a folder as shared as /tmp is, whoever runs.
    QTemporaryDir shortHome(QStringLiteral("/tmp/qsock-XXXXXX"));
    ASSERT_TRUE(shortHome.isValid());
    const QString home = shortHome.path();
    const QString shared = home + QStringLiteral("/shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QString cache = home + QStringLiteral("/.cache"),
                  data = home + QStringLiteral("/.local/share");
    const QString privateRuntime = test::makeTempDir();
    const QString linkedRuntime = home + QStringLiteral("/runtime-link");
    ASSERT_TRUE(QFile::link(privateRuntime, linkedRuntime));
    const struct {
        QString runtime;
        QString folder;
    } cases[] = {
        {privateRuntime, privateRuntime},
        {QString(), cache + QStringLiteral("/quillet-sockets")},
        {shared, cache + QStringLiteral("/quillet-sockets")}, // anyone writes there
        {linkedRuntime, cache + QStringLiteral("/quillet-sockets")},
    };
    for (const auto& c : cases) {
        const QString name =
            InstanceHandover::serverName(QStringLiteral("Quillet2"), data, c.runtime, cache);
        EXPECT_EQ(QFileInfo(name).path(), c.folder) << c.runtime.toStdString();
    }
    EXPECT_EQ(test::modeOf(cache + QStringLiteral("/quillet-sockets")), 0700);
    // The cache's folder replaced by a link: the data folder's is used instead.
    ASSERT_TRUE(QDir(cache + QStringLiteral("/quillet-sockets")).removeRecursively());
    ASSERT_TRUE(QFile::link(test::makeTempDir(), cache + QStringLiteral("/quillet-sockets")));
    const QString name =
        InstanceHandover::serverName(QStringLiteral("Quillet2"), data, QString(), cache);
    EXPECT_EQ(QFileInfo(name).path(), data + QStringLiteral("/quillet-sockets"));

    // Another account listening first under the shared name in /tmp answers for nobody.
    Squatter squatter(QDir(shared).filePath(QFileInfo(name).fileName()));
    ASSERT_TRUE(squatter.listening());
    EXPECT_FALSE(InstanceHandover::handOver(name, 500)) << "this launch opens its window";
    InstanceHandover running;
    ASSERT_TRUE(running.listen(name));
    EXPECT_TRUE(handOverFromAnotherThread(name));
}

} // namespace
} // namespace quillet
