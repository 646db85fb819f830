// This writer's published state (what it has applied of every other writer),
// and folding its own logs into a snapshot once every writer has applied them.
#include "store/cloud/LogExchange.h"

#include "core/FolderSync.h"
#include "core/PrivateFile.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/ExchangeFiles.h"
#include "store/cloud/SealedFile.h"
#include "store/cloud/Settling.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <limits>

namespace quillet::cloud {

using namespace detail;

QJsonObject LogExchange::readState(const QString& path, const QUuid& writer) {
    return openState(path, writer, key_);
}

void LogExchange::publishState() {
    QJsonObject applied;
    for (const auto& [writer, sequence] : appliedSequences(db_)) {
        applied.insert(writer.toString(QUuid::WithoutBraces), qint64(sequence));
    }
    QJsonObject state{{QStringLiteral("format"), kStateFormat},
                      {QStringLiteral("writer"), self_.toString(QUuid::WithoutBraces)},
                      {QStringLiteral("applied"), applied}};
    if (retired_) {
        state.insert(QStringLiteral("retired"), true);
    }
    // So that a machine whose clock is off learns it from the others.
    QJsonObject ahead;
    for (const auto& [writer, minutes] : clocksAhead(db_))
        ahead.insert(writer.toString(QUuid::WithoutBraces), minutes);
    if (!ahead.isEmpty()) {
        state.insert(QStringLiteral("clockAhead"), ahead);
    }
    for (auto it = settleMembers_.begin(); it != settleMembers_.end(); ++it)
        state.insert(it.key(), it.value());
    const QByteArray bytes = QJsonDocument(state).toJson(QJsonDocument::Compact);
    const QString path = stateFolder() + QLatin1Char('/') + self_.toString(QUuid::WithoutBraces) +
                         QStringLiteral(".json");
    if (bytes == publishedState_ && PrivateFile::look(path).regular) {
        return;
    }
    QString why;
    if (!writeSealed(path, SealedKind::WriterState, 0, bytes, &why)) {
        reportOnce(QStringLiteral("state|") + why,
                   QStringLiteral("Cloud exchange: %1 could not be written: %2").arg(path, why));
        return;
    }
    publishedState_ = bytes;
}

quint64 LogExchange::publishedApplied(const QString& other, const QUuid& writer) {
    const QString path = stateFolder() + QLatin1Char('/') + other + QStringLiteral(".json");
    if (!PrivateFile::look(path).exists) {
        return 0; // not published yet: it may not have applied anything
    }
    const QJsonObject state = readState(path, QUuid::fromString(other));
    if (state.value(QStringLiteral("format")).toInt() != kStateFormat ||
        state.value(QStringLiteral("writer")).toString() != other) {
        reportOnce(QStringLiteral("state|") + path,
                   QStringLiteral("Cloud exchange: %1 is not a writer state this version reads; "
                                  "its writer counts as having applied nothing.")
                       .arg(path));
        return 0;
    }
    if (state.value(QStringLiteral("retired")).toBool()) {
        return std::numeric_limits<quint64>::max(); // it will never need them
    }
    return quint64(state.value(QStringLiteral("applied"))
                       .toObject()
                       .value(writer.toString(QUuid::WithoutBraces))
                       .toInteger());
}

void LogExchange::foldOwnLogs() {
    const QString own = self_.toString(QUuid::WithoutBraces);
    QDir dir(logsFolder() + QLatin1Char('/') + own);
    if (!PrivateFile::isOwnFolder(dir.path())) {
        return; // nothing is removed through a link (writing said so)
    }
    std::map<quint64, QString> logs, snapshots;
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoSymLinks)) {
        quint64 sequence = 0;
        if (parseChangeLogFileName(name, &sequence))
            logs.emplace(sequence, dir.filePath(name));
        else if (parseSnapshotFileName(name, &sequence))
            snapshots.emplace(sequence, dir.filePath(name));
    }
    if (logs.empty() || logs.size() < size_t(foldAfter_)) {
        return;
    }
    // Only what every writer known to the container has applied: a writer
    // that is behind still needs the logs themselves.
    // Known: whoever has written a log or published a state.
    QSet<QString> known;
    for (const QString& name : QDir(logsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        known.insert(name);
    for (const QString& name :
         QDir(stateFolder()).entryList({QStringLiteral("*.json")}, QDir::Files))
        known.insert(name.chopped(5));
    quint64 upTo = logs.rbegin()->first;
    for (const QString& name : std::as_const(known)) {
        const QUuid writer = QUuid::fromString(name);
        if (name != own && !writer.isNull() && writer.toString(QUuid::WithoutBraces) == name) {
            upTo = std::min(upTo, publishedApplied(name, self_));
        }
    }
    if (std::distance(logs.begin(), logs.upper_bound(upTo)) < foldAfter_) {
        return;
    }
    ChangeLog snapshot;
    snapshot.writer = self_;
    snapshot.sequence = upTo;
    snapshot.settled = settledClocks(db_);
    if (!wholeDiaryStates(db_, &snapshot.entries)) {
        return; // something saved is not logged yet: the next round
    }
    const QByteArray bytes = encodeChangeLog(snapshot);
    const QString path = dir.filePath(snapshotFileName(upTo));
    QString why;
    if (bytes.size() > kMaxChangeLogBytes ||
        !writeSealed(path, SealedKind::Snapshot, upTo, bytes, &why)) {
        reportOnce(QStringLiteral("snapshot|") + why,
                   QStringLiteral("Cloud exchange: the snapshot %1 could not be written: %2")
                       .arg(path, why.isEmpty() ? QStringLiteral("too large") : why));
        return;
    }
    syncFolder(dir.absolutePath());
    // The snapshot is in place before anything it stands for goes.
    for (auto it = logs.begin(); it != logs.upper_bound(upTo); ++it)
        QFile::remove(it->second);
    for (auto it = snapshots.begin(); it != snapshots.lower_bound(upTo); ++it)
        QFile::remove(it->second);
}

} // namespace quillet::cloud
