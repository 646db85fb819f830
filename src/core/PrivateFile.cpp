#include "core/PrivateFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

QString reasonOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool PrivateFile::writeWhole(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo info(path);
    const QString temporary =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".nosync");
    return replaceThroughTemporary(
        path, temporary,
        [&bytes](int fd, QString* reason) {
            for (qsizetype done = 0; done < bytes.size();) {
                const ssize_t n =
                    ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    if (reason)
                        *reason = reasonOf(n < 0 ? errno : EIO);
                    return false;
                }
                done += n;
            }
            return true;
        },
        why);
}

bool PrivateFile::replaceThroughTemporary(const QString& path, const QString& temporary,
                                          const std::function<bool(int fd, QString* why)>& fill,
                                          QString* why) {
    const QByteArray native = QFile::encodeName(temporary);
    auto fail = [&](int error) {
        if (why && error != 0)
            *why = reasonOf(error);
        ::unlink(native.constData());
        return false;
    };
    // A leftover of a crash (or a link planted there) goes first: O_EXCL
    // then makes a new file of our own, never opens someone else's.
    ::unlink(native.constData());
    const Descriptor fd(
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        return fail(errno);
    // The umask narrows open's mode but never widens it; set it exactly.
    if (::fchmod(fd.get(), 0600) != 0)
        return fail(errno);
    if (!fill(fd.get(), why))
        return fail(0);
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (::rename(native.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(errno);
    return true;
}

PrivateFile::Seen PrivateFile::look(const QString& path) {
    struct stat info {};
    Seen seen;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return seen;
    seen.exists = true;
    seen.regular = S_ISREG(info.st_mode);
    seen.size = qint64(info.st_size);
    seen.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    seen.inode = quint64(info.st_ino);
    return seen;
}

bool PrivateFile::readRegular(const QString& path, qint64 maxBytes, QByteArray* bytes,
                              QString* why) {
    auto fail = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    // O_NONBLOCK: opening a fifo planted under a log's name must not hang.
    const Descriptor fd(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(errno == ELOOP ? QStringLiteral("it is a link") : reasonOf(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return fail(reasonOf(errno));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("it is not a regular file"));
    if (qint64(info.st_size) > maxBytes)
        return fail(QStringLiteral("%1 bytes, more than it may hold").arg(qint64(info.st_size)));
    QByteArray read(qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < read.size()) {
        const ssize_t n = ::read(fd.get(), read.data() + done, size_t(read.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(reasonOf(errno));
        if (n == 0)
            break; // cut short while being read: the caller sees fewer bytes
        done += n;
    }
    read.truncate(done);
    *bytes = std::move(read);
    return true;
}

bool PrivateFile::isOwnFolder(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid();
}

} // namespace quillet
