#include "core/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

bool fail(int error, QString* reason) {
    if (reason) {
        *reason = QString::fromLocal8Bit(std::strerror(error));
    }
    return false;
}

} // namespace

bool PrivateFolder::makePath(const QString& path, QString* reason) {
    if (path.isEmpty()) {
        return fail(ENOENT, reason);
    }
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    // Each prefix in turn, from the root down.
    qsizetype end = 0;
    while (end < clean.size()) {
        end = clean.indexOf(QLatin1Char('/'), end + 1);
        if (end < 0) {
            end = clean.size();
        }
        const QByteArray native = QFile::encodeName(clean.left(end));
        struct stat info {};
        if (::stat(native.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                return fail(ENOTDIR, reason);
            }
            continue;
        }
        if (errno != ENOENT) {
            return fail(errno, reason);
        }
        if (::mkdir(native.constData(), 0700) != 0) {
            const int error = errno;
            // Made by someone else meanwhile: theirs, as it is.
            if (error == EEXIST && ::stat(native.constData(), &info) == 0 &&
                S_ISDIR(info.st_mode)) {
                continue;
            }
            return fail(error, reason);
        }
        // mkdir's mode is narrowed by the umask (0277 would leave it
        // unwritable); set it exactly.
        if (::chmod(native.constData(), 0700) != 0) {
            return fail(errno, reason);
        }
    }
    return true;
}

bool PrivateFolder::makeOwnPath(const QString& base, const QString& relative, QString* reason) {
    QString path = base;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        const QByteArray native = QFile::encodeName(path);
        struct stat info {};
        if (::lstat(native.constData(), &info) != 0) {
            if (errno != ENOENT || (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)) {
                return fail(errno, reason);
            }
            if (::lstat(native.constData(), &info) != 0) {
                return fail(errno, reason);
            }
            if (S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
                ::chmod(native.constData(), 0700) != 0) {
                return fail(errno, reason);
            }
        }
        if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
            if (reason) {
                *reason = QStringLiteral("%1 is not a folder of this user's own (%2)")
                              .arg(path, S_ISLNK(info.st_mode)   ? QStringLiteral("a link")
                                         : S_ISDIR(info.st_mode) ? QStringLiteral("another owner's")
                                                                 : QStringLiteral("not a folder"));
            }
            return false;
        }
    }
    return true;
}

} // namespace quillet
