// One process at a time holds a diary: the lock file beside it, held by an
// flock that dies with its process, and the holder it names in a refusal.
#include "store/PersistentStore.h"

#include "store/PersistentStoreErrors.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

using detail::storeError;

namespace {

// The process named on the first line of a lock file; 0 when it names none.
qint64 lockHolder(int fd) {
    char text[64] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return 0;
    }
    const QByteArray first = QByteArray(text, int(got)).split('\n').value(0);
    bool ok = false;
    const qint64 pid = first.trimmed().toLongLong(&ok);
    return ok ? pid : 0;
}

} // namespace

bool PersistentStore::lock(Error* error) {
    const QByteArray native = QFile::encodeName(path_ + QStringLiteral(".lock"));
    int reason = 0;
    // A few rounds: the holder may remove the file between our open and our lock.
    for (int attempt = 0; attempt < 8 && reason == 0; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            reason = errno;
            break;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            reason = errno;
            if (reason == EWOULDBLOCK) {
                const qint64 pid = lockHolder(fd);
                ::close(fd);
                if (error) {
                    *error = storeError(
                        StoreInUseError,
                        QStringLiteral("The diary \u201c%1\u201d is open in another window "
                                       "(process %2). Quit the other window and try again.")
                            .arg(path_)
                            .arg(pid));
                }
                return false;
            }
            ::close(fd);
            break;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            const QByteArray info = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                    QCoreApplication::applicationName().toUtf8() + '\n' +
                                    QSysInfo::machineHostName().toUtf8() + '\n';
            // The text only names the holder in a refusal; the lock holds without it.
            if (::ftruncate(fd, 0) == 0) {
                [[maybe_unused]] const ssize_t written =
                    ::pwrite(fd, info.constData(), size_t(info.size()), 0);
            }
            lockFd_ = fd;
            return true;
        }
        ::close(fd);
    }
    if (!error) {
        return false;
    }
    if (reason == EACCES || reason == EPERM || reason == ENOENT || reason == EROFS ||
        reason == ENOTDIR) {
        *error = storeError(
            StoreOpenError,
            QStringLiteral("The diary \u201c%1\u201d can't be opened: its folder can't be "
                           "written (no permission, or the folder is missing).")
                .arg(path_));
    } else {
        *error =
            storeError(StoreOpenError,
                       QStringLiteral("The diary \u201c%1\u201d could not be locked for use%2.")
                           .arg(path_, reason != 0 ? QStringLiteral(" (%1)").arg(
                                                         QString::fromLocal8Bit(strerror(reason)))
                                                   : QString()));
    }
    return false;
}

} // namespace quillet
