#include "store/cloud/CloudCopy.h"

#include "store/SqliteDatabase.h"
#include "store/cloud/CloudTables.h"
#include "store/cloud/LogExchange.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillet::cloud {

QUuid writerOfFile(const QString& storePath) {
    if (!QFileInfo(storePath).isFile()) {
        return {};
    }
    SqliteDatabase db;
    if (!db.open(storePath, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)) {
        return {};
    }
    db.setBusyTimeout(1000);
    return storeIdentifier(db);
}

QString ownCopyNotePath(const QString& localStorePath) {
    return localStorePath + QStringLiteral(".moved");
}

bool noteOwnCopy(const QString& localStorePath, const QUuid& writer) {
    QSaveFile note(ownCopyNotePath(localStorePath));
    return !writer.isNull() && note.open(QIODevice::WriteOnly) &&
           note.write(writer.toString(QUuid::WithoutBraces).toLatin1() + '\n') > 0 && note.commit();
}

RetireOutcome retireOwnCopy(const QString& copy, const QString& container,
                            const QString& localStorePath) {
    const QUuid writer = writerOfFile(copy);
    if (writer.isNull()) {
        return RetireOutcome::NotOurs;
    }
    QFile note(ownCopyNotePath(localStorePath));
    if (note.open(QIODevice::ReadOnly)) {
        if (QUuid::fromString(QString::fromLatin1(note.read(64)).trimmed()) != writer) {
            return RetireOutcome::NotOurs;
        }
    } else if (!QFileInfo::exists(localStorePath + QStringLiteral(".bak"))) {
        return RetireOutcome::NotOurs;
    }
    // The store's own lock: a window that still has the copy open holds it.
    const int fd = ::open(QFile::encodeName(copy + QStringLiteral(".lock")).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return RetireOutcome::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return RetireOutcome::InUse;
    }
    const bool retired = LogExchange(copy, container).retire();
    ::close(fd);
    return retired ? RetireOutcome::Retired : RetireOutcome::Failed;
}

} // namespace quillet::cloud
