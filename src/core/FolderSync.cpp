#include "core/FolderSync.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace quillet {

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace quillet
