// What the cloud pane shows of a diary's part in the exchange, read from the
// file and the container without writing to either.
#include "store/cloud/LogExchange.h"

#include "core/PrivateFile.h"
#include "store/SqliteStatement.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/ExchangeFiles.h"
#include "store/cloud/SealedFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace quillet::cloud {

using namespace detail;

ExchangeStatus readExchangeStatus(const QString& storePath, const QString& containerPath,
                                  const std::optional<DiaryKey>& key) {
    ExchangeStatus status;
    QString own;
    SqliteDatabase db;
    if (QFileInfo(storePath).isFile() &&
        db.open(storePath, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)) {
        db.setBusyTimeout(1000);
        own = storeIdentifier(db).toString(QUuid::WithoutBraces);
        SqliteStatement s(db.handle(), "SELECT value FROM cloudState WHERE name = 'appliedAt'");
        if (s.step() == SQLITE_ROW && s.columnInt64(0) > 0) {
            status.lastApplied = QDateTime::fromMSecsSinceEpoch(s.columnInt64(0));
        }
        for (const auto& [writer, minutes] : clocksAhead(db))
            status.otherClockAheadMinutes = std::max(status.otherClockAheadMinutes, minutes);
    }
    // Known: whoever has written a log or published a state.
    QDir logs(containerPath + QStringLiteral("/TransactionLogs"));
    QSet<QString> known;
    for (const QString& name : logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        known.insert(name);
    for (const QString& name : QDir(containerPath + QStringLiteral("/WriterState"))
                                   .entryList({QStringLiteral("*.json")}, QDir::Files))
        known.insert(name.chopped(5));
    for (const QString& name : std::as_const(known)) {
        const QUuid writer = QUuid::fromString(name);
        if (writer.isNull() || writer.toString(QUuid::WithoutBraces) != name) {
            continue;
        }
        // A retired diary file writes no more.
        const QString statePath =
            containerPath + QStringLiteral("/WriterState/") + name + QStringLiteral(".json");
        QByteArray head;
        if (PrivateFile::readRegular(statePath, kMaxStateBytes, &head, nullptr) && !isSealed(head))
            ++status.plainFiles;
        for (const QString& file :
             QDir(logs.filePath(name)).entryList(QDir::Files | QDir::NoSymLinks)) {
            quint64 sequence = 0;
            if ((parseChangeLogFileName(file, &sequence) ||
                 parseSnapshotFileName(file, &sequence)) &&
                PrivateFile::readRegular(logs.filePath(name) + QLatin1Char('/') + file,
                                         kMaxChangeLogBytes, &head, nullptr) &&
                !isSealed(head))
                ++status.plainFiles;
        }
        const QJsonObject published =
            name != own && key ? openState(statePath, writer, *key) : QJsonObject();
        if (published.value(QStringLiteral("retired")).toBool()) {
            continue;
        }
        if (!own.isEmpty()) {
            status.ownClockAheadMinutes = std::max(
                status.ownClockAheadMinutes,
                published.value(QStringLiteral("clockAhead")).toObject().value(own).toInt());
        }
        ++status.writers;
        if (name != own) {
            continue;
        }
        for (const QFileInfo& file : QDir(logs.filePath(name)).entryInfoList(QDir::Files)) {
            quint64 sequence = 0;
            if (parseChangeLogFileName(file.fileName(), &sequence) &&
                file.lastModified() > status.lastWritten) {
                status.lastWritten = file.lastModified();
            }
        }
    }
    return status;
}

} // namespace quillet::cloud
