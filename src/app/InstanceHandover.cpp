#include "app/InstanceHandover.h"

#include "core/PrivateFolder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillet {

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kTaken = QByteArrayLiteral("ok\n");
// "import <path, percent-encoded>\n": the command line's import for the window.
const QByteArray kImport = QByteArrayLiteral("import ");
// A peer that sends this much without a line is not a launch of the diary.
constexpr qsizetype kLongestRequest = 16384;

// Never a name in a folder others can write: one of them could listen
// there first and answer for the diary.
QString socketPath(const QString& serverName) {
    return QDir::isAbsolutePath(serverName) ? serverName : QString();
}

// More than this many launches at once is someone holding connections open.
constexpr std::size_t kMostClients = 8;

// A folder (not a link) of this user's that nobody else can write to.
bool isUsersAlone(const QString& folder) {
    struct stat info {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 022) == 0;
}

// The socket's peer is this same user.
bool isSameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           peer.uid == ::geteuid();
}

bool fillAddress(const QByteArray& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

int streamSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Waits until fd is ready for events; false when the deadline passed first.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};
} // namespace

struct InstanceHandover::Client {
    QSocketNotifier* notifier = nullptr;
    QTimer* idle = nullptr;
    QByteArray pending;
};

QString InstanceHandover::serverName(const QString& bundleName, const QString& dataHome,
                                     const QString& runtimeDir, const QString& cacheHome) {
    // A short, fixed-length name: socket paths are limited to about 100 bytes.
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(dataHome).toUtf8(), QCryptographicHash::Sha1);
    const QString name =
        QStringLiteral("%1-%2.socket").arg(bundleName, QString::fromLatin1(key.toHex().left(12)));
    QStringList folders{runtimeDir};
    for (const QString& home : {cacheHome, dataHome}) {
        if (!home.isEmpty()) {
            folders << home + QStringLiteral("/quillet-sockets");
        }
    }
    for (const QString& folder : std::as_const(folders)) {
        if (folder != runtimeDir) {
            PrivateFolder::makePath(folder);
        }
        const QString path = QDir(folder).filePath(name);
        if (isUsersAlone(folder) && QFile::encodeName(path).size() < 100) {
            return path;
        }
    }
    return QString();
}

bool InstanceHandover::handOver(const QString& serverName, int timeoutMs) {
    return request(serverName, kRaise, timeoutMs).startsWith("ok");
}

bool InstanceHandover::handOverImport(const QString& serverName, const QString& path,
                                      QString* refusal, int timeoutMs) {
    const QByteArray answer =
        request(serverName, kImport + QUrl::toPercentEncoding(path) + '\n', timeoutMs);
    if (answer.startsWith("ok")) {
        return true;
    }
    *refusal = answer.startsWith("no ") ? QString::fromUtf8(answer.mid(3).trimmed()) : QString();
    return false;
}

QByteArray InstanceHandover::request(const QString& serverName, const QByteArray& line,
                                     int timeoutMs) {
    sockaddr_un address;
    if (!fillAddress(QFile::encodeName(socketPath(serverName)), &address)) {
        return {};
    }
    const FileDescriptor socket(streamSocket());
    if (socket.get() < 0) {
        return {};
    }
    const QDeadlineTimer deadline(timeoutMs);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A full backlog: the running instance is busy, and may still answer in time.
        if (errno != EAGAIN && errno != EINPROGRESS && errno != EINTR) {
            return {};
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(socket.get(), POLLOUT, deadline) ||
            ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            return {};
        }
    }
    // Only this user's own instance may keep this launch from opening a window.
    if (!isSameUser(socket.get())) {
        return {};
    }
    for (qsizetype sent = 0; sent < line.size();) {
        const ssize_t n =
            ::send(socket.get(), line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && waitFor(socket.get(), POLLOUT, deadline)) {
            continue;
        } else {
            return {};
        }
    }
    // The running instance answers once it has taken the request.
    QByteArray answer;
    while (!answer.contains('\n')) {
        char buffer[64];
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n > 0) {
            answer.append(buffer, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && waitFor(socket.get(), POLLIN, deadline)) {
            continue;
        } else {
            break;
        }
    }
    return answer;
}

InstanceHandover::InstanceHandover(QObject* parent) : QObject(parent) {}

InstanceHandover::~InstanceHandover() {
    stopListening();
}

bool InstanceHandover::listen(const QString& serverName) {
    stopListening();
    const QString path = socketPath(serverName);
    const QByteArray finalPath = QFile::encodeName(path);
    sockaddr_un address;
    if (path.isEmpty() || !fillAddress(finalPath, &address)) {
        return false;
    }
    // Bound in a folder of its own and given its name only once no other user
    // can connect, which also replaces a socket a dead process left there.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath()) + "/.handover-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        return false;
    }
    const QByteArray boundPath = folder + "/s";
    const auto cleanUp = [&] {
        ::unlink(boundPath.constData());
        ::rmdir(folder.constData());
    };
    sockaddr_un bound;
    const int fd = streamSocket();
    if (fd < 0 || !fillAddress(boundPath, &bound) ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0 ||
        ::chmod(boundPath.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0 ||
        ::rename(boundPath.constData(), finalPath.constData()) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        cleanUp();
        return false;
    }
    cleanUp();
    listener_ = fd;
    path_ = path;
    struct stat named;
    if (::lstat(finalPath.constData(), &named) == 0) {
        fileDevice_ = named.st_dev;
        fileInode_ = named.st_ino;
    }
    listenerNotifier_ = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(listenerNotifier_, &QSocketNotifier::activated, this, [this] { acceptClients(); });
    return true;
}

void InstanceHandover::acceptClients() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return; // EAGAIN: none left; anything else: the next launch tries again
        }
        if (!isSameUser(fd) || clients_.size() >= kMostClients) {
            ::close(fd);
            continue;
        }
        auto client = std::make_unique<Client>();
        client->notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
        connect(client->notifier, &QSocketNotifier::activated, this,
                [this, fd] { readClient(fd); });
        // A launch sends its line at once; one that waits is not a launch.
        client->idle = new QTimer(this);
        client->idle->setSingleShot(true);
        connect(client->idle, &QTimer::timeout, this, [this, fd] { dropClient(fd); });
        client->idle->start(idleMilliseconds_);
        clients_[fd] = std::move(client);
    }
}

void InstanceHandover::readClient(int fd) {
    const auto found = clients_.find(fd);
    if (found == clients_.end()) {
        return;
    }
    Client& client = *found->second;
    for (;;) {
        char buffer[128];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            break;
        }
        if (n <= 0) {
            dropClient(fd); // gone, or failed
            return;
        }
        client.pending.append(buffer, n);
        if (client.pending.size() > kLongestRequest) {
            break; // no launch says this much: dropped below
        }
    }
    bool raise = false;
    for (qsizetype end = client.pending.indexOf('\n'); end >= 0;
         end = client.pending.indexOf('\n')) {
        if (client.pending.left(end + 1) == kRaise) {
            // The answer is a few bytes into an empty socket: it never blocks.
            (void)::send(fd, kTaken.constData(), size_t(kTaken.size()),
                         MSG_NOSIGNAL | MSG_DONTWAIT);
            raise = true;
        } else if (client.pending.startsWith(kImport)) {
            const QString path =
                QUrl::fromPercentEncoding(client.pending.mid(kImport.size(), end - kImport.size()));
            const QString refusal = importHandler ? importHandler(path)
                                                  : QStringLiteral("this window takes no imports");
            const QByteArray answer =
                refusal.isEmpty() ? kTaken : "no " + refusal.toUtf8().replace('\n', ' ') + '\n';
            (void)::send(fd, answer.constData(), size_t(answer.size()),
                         MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        client.pending.remove(0, end + 1);
    }
    if (client.pending.size() > kLongestRequest) {
        dropClient(fd);
    }
    if (raise) {
        emit raiseRequested();
    }
}

void InstanceHandover::dropClient(int fd) {
    const auto found = clients_.find(fd);
    if (found == clients_.end()) {
        return;
    }
    // Called from its own notifier's signal: disarmed now, deleted once that returns.
    found->second->notifier->setEnabled(false);
    found->second->notifier->deleteLater();
    found->second->idle->stop();
    found->second->idle->deleteLater();
    clients_.erase(found);
    ::close(fd);
}

void InstanceHandover::stopListening() {
    while (!clients_.empty()) {
        dropClient(clients_.begin()->first);
    }
    if (listener_ < 0) {
        return;
    }
    delete listenerNotifier_;
    listenerNotifier_ = nullptr;
    ::close(listener_);
    listener_ = -1;
    // The name may belong to a later instance by now: only our own file goes.
    struct stat named;
    const QByteArray path = QFile::encodeName(path_);
    if (::lstat(path.constData(), &named) == 0 && named.st_dev == fileDevice_ &&
        named.st_ino == fileInode_) {
        ::unlink(path.constData());
    }
    path_.clear();
}

} // namespace quillet
