#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

namespace quillet {

// Files the application writes where others may look (the cloud container,
// the export) and reads from folders others may fill: written owner-only
// whatever the umask and never through a link, read only when they are
// regular files of a size worth reading.
namespace PrivateFile {

// Writes `bytes` under the hidden name ".<name>.nosync" beside `path`,
// owner-only (0600), to disk, then renames it over `path`: a reader sees the
// old file or the new one, and a link at `path` is replaced, not followed.
// The folder must exist. False with the reason in `why`.
bool writeWhole(const QString& path, const QByteArray& bytes, QString* why);

// The one way a file is put in place whole: a new owner-only file at
// `temporary` (a leftover there goes first) is filled by `fill`, given its
// descriptor (it may also write the file by name), put on disk and renamed
// over `path`. On failure the temporary is removed. The folder is left to the
// caller to sync. False with the reason in `why`.
bool replaceThroughTemporary(const QString& path, const QString& temporary,
                             const std::function<bool(int fd, QString* why)>& fill, QString* why);

// What lstat tells of a path, for deciding whether it is worth reading.
struct Seen {
    bool exists = false;
    bool regular = false; // a plain file, not a link, device or pipe
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since 1970
    quint64 inode = 0;
    bool operator==(const Seen&) const = default;
};
Seen look(const QString& path);

// Reads a regular file of at most `maxBytes`, without following a link and
// without blocking on a pipe. False with the reason in `why`.
bool readRegular(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* why);

// True when `path` is a real folder (not a link) owned by this user.
bool isOwnFolder(const QString& path);

} // namespace PrivateFile

} // namespace quillet
