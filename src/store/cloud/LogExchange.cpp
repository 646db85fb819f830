#include "store/cloud/LogExchange.h"

#include "core/FolderSync.h"
#include "core/Log.h"
#include "core/NotificationCenter.h"
#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"
#include "store/SqliteStatement.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/Settling.h"
#include "store/cloud/SealedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <map>
#include <sqlite3.h>
#include <unistd.h>

namespace quillet::cloud {

LogExchange::LogExchange(QString storePath, QString containerPath,
                         std::shared_ptr<ContainerKey> keys)
    : storePath_(std::move(storePath)), container_(std::move(containerPath)),
      keys_(keys ? std::move(keys) : ContainerKey::forContainer(container_)) {}

LogExchange::~LogExchange() = default;

bool LogExchange::openDatabase() {
    if (db_.isOpen()) {
        return true;
    }
    Error error;
    if (!db_.open(storePath_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error)) {
        reportOnce(QStringLiteral("open"),
                   QStringLiteral("Cloud exchange: the diary could not be opened: %1")
                       .arg(error.localizedDescription));
        return false;
    }
    db_.setBusyTimeout(5000);
    db_.exec("PRAGMA synchronous = FULL", nullptr);
    self_ = storeIdentifier(db_);
    return !self_.isNull();
}

bool LogExchange::unlock() {
    const std::optional<DiaryKey> key = keys_->resolve(container_);
    if (!key) {
        static const std::map<ContainerKey::State, const char*> said = {
            {ContainerKey::State::ChoosePassphrase,
             "the cloud folder holds no diary key yet: choose a passphrase in Settings > Cloud"},
            {ContainerKey::State::NeedsPassphrase,
             "the diary's passphrase is needed on this machine: enter it in Settings > Cloud"},
            {ContainerKey::State::WrongPassphrase,
             "the passphrase does not open the diary key: enter it again in Settings > Cloud"}};
        const auto found = said.find(keys_->state());
        const QString why = QString::fromLatin1(
            found == said.end() ? "the diary key is not unlocked" : found->second);
        reportOnce(QStringLiteral("key|") + why,
                   QStringLiteral("Cloud exchange: %1; nothing is read from or written to the "
                                  "cloud folder until then.")
                       .arg(why));
        return false;
    }
    if (key->id != key_.id) {
        // A log refused under the key this one replaced may open now, although
        // the file itself did not change: sync engines bring the key folder
        // after the logs as often as before them.
        refused_.clear();
    }
    key_ = *key;
    if (resealedWith_ != key_.id) {
        resealOwnFiles();
        resealedWith_ = key_.id;
    }
    return true;
}

bool LogExchange::writeSealed(const QString& path, SealedKind kind, quint64 sequence,
                              const QByteArray& bytes, QString* why) {
    const QString folder = QFileInfo(path).absolutePath();
    return PrivateFolder::makeOwnPath(container_, QDir(container_).relativeFilePath(folder), why) &&
           PrivateFile::writeWhole(path, seal(key_, kind, self_, sequence, bytes), why);
}

void LogExchange::reportOnce(const QString& key, const QString& line) {
    if (!reported_.contains(key)) {
        reported_.insert(key);
        Log::write(line);
    }
}

bool LogExchange::exchange(AppliedChanges* changes) {
    // Signed out (the container is gone): the diary goes on locally, and the
    // outbox keeps what is saved meanwhile for when the container is back.
    if (!QFileInfo(container_).isDir()) {
        if (!containerMissing_) {
            containerMissing_ = true;
            Log::write(QStringLiteral("Cloud container %1 is gone; changes stay on this machine.")
                           .arg(container_));
        }
        return false;
    }
    containerMissing_ = false;
    if (!openDatabase() || !unlock()) {
        return false;
    }
    writeOwnPendingLogs();
    QDir logs(logsFolder());
    if (!PrivateFile::look(logsFolder()).exists) {
        publishState(); // known from the start, before any log
        return true;
    }
    if (QFileInfo(logsFolder()).isSymLink()) {
        reportOnce(QStringLiteral("link|") + logsFolder(),
                   QStringLiteral("Cloud exchange: %1 is a link, not a folder; nothing is read "
                                  "through it.")
                       .arg(logsFolder()));
        return false;
    }
    if (!QFileInfo(logsFolder()).isReadable()) {
        reportOnce(
            QStringLiteral("unreadable|") + logsFolder(),
            QStringLiteral("Cloud exchange: the folder %1 can't be read.").arg(logsFolder()));
        return false;
    }
    const QString own = self_.toString(QUuid::WithoutBraces);
    std::vector<std::pair<QString, QUuid>> writers;
    for (const QString& name : logs.entryList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name)) {
        if (name == own) {
            continue;
        }
        const QUuid writer = QUuid::fromString(name);
        // Never through a link: it could point anywhere on this machine.
        if (writer.isNull() || writer.toString(QUuid::WithoutBraces) != name ||
            !QFileInfo(logs.filePath(name)).isDir() || QFileInfo(logs.filePath(name)).isSymLink()) {
            reportOnce(
                QStringLiteral("folder|") + name,
                QStringLiteral("Cloud exchange: %1 is not a writer's folder; it is left alone.")
                    .arg(logs.filePath(name)));
            continue;
        }
        writers.emplace_back(logs.filePath(name), writer);
    }
    // Snapshots first: they tell which old versions are settled before any
    // log brings one of them again.
    for (const auto& [folder, writer] : writers) {
        applySnapshotOf(folder, writer, appliedSequence(db_, writer), changes);
    }
    for (const auto& [folder, writer] : writers) {
        applyWriter(folder, writer, changes);
    }
    // Applying took this store's own pending changes into a log: out with it now.
    writeOwnPendingLogs();
    const KnownStates others = readKnownStates(
        logsFolder(), stateFolder(), self_,
        [this](const QString& path, const QUuid& writer) { return readState(path, writer); });
    settleMembers_ = settleMembers(db_, others);
    publishState();
    settle(db_, self_, others, settleMembers_);
    foldOwnLogs();
    return true;
}

namespace {

constexpr int kStateFormat = 1;

// "0000000000000040.qsnap": the last sequence the snapshot covers.
bool parseSnapshotFileName(const QString& name, quint64* sequence) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{16})\\.qsnap$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return false;
    bool ok = false;
    *sequence = match.captured(1).toULongLong(&ok, 16);
    return ok && *sequence > 0;
}


QString snapshotFileName(quint64 sequence) {
    return QStringLiteral("%1.qsnap").arg(sequence, 16, 16, QLatin1Char('0'));
}

// A writer state is a few hundred bytes per writer.
constexpr qint64 kMaxStateBytes = 1 << 20;

// A writer's published state, sealed under `key`; empty when it is not.
QJsonObject openState(const QString& path, const QUuid& writer, const DiaryKey& key) {
    QByteArray bytes, plain;
    return PrivateFile::readRegular(path, kMaxStateBytes, &bytes, nullptr) &&
                   openSealed(bytes, key, SealedKind::WriterState, writer, 0, &plain, nullptr)
               ? QJsonDocument::fromJson(plain).object()
               : QJsonObject();
}

} // namespace

QJsonObject LogExchange::readState(const QString& path, const QUuid& writer) {
    return openState(path, writer, key_);
}

void LogExchange::resealOwnFiles() {
    const QString folder = logsFolder() + QLatin1Char('/') + self_.toString(QUuid::WithoutBraces);
    if (!PrivateFile::isOwnFolder(folder)) {
        return;
    }
    const std::optional<DiaryKey> replaced = keys_->replacedKey();
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::NoSymLinks)) {
        quint64 sequence = 0;
        const bool snapshot = parseSnapshotFileName(name, &sequence);
        if (!snapshot && !parseChangeLogFileName(name, &sequence)) {
            continue;
        }
        const SealedKind kind = snapshot ? SealedKind::Snapshot : SealedKind::Log;
        const QString path = folder + QLatin1Char('/') + name;
        QByteArray bytes, plain;
        ChangeLog log;
        if (!PrivateFile::readRegular(path, kMaxChangeLogBytes, &bytes, nullptr) ||
            sealedKeyId(bytes) == key_.id) {
            continue;
        }
        // Before sealing (plain) or under the key that lost to another made at the same time.
        if (isSealed(bytes) ? !(replaced && openSealed(bytes, *replaced, kind, self_, sequence,
                                                       &plain, nullptr))
                            : decodeChangeLog(bytes, &log, nullptr) != DecodeStatus::Ok) {
            continue;
        }
        QString why;
        if (!writeSealed(path, kind, sequence, isSealed(bytes) ? plain : bytes, &why)) {
            reportOnce(QStringLiteral("reseal|") + why,
                       QStringLiteral("Cloud exchange: %1 could not be sealed: %2").arg(path, why));
        }
    }
    publishedState_.clear(); // written sealed at this round
}

bool LogExchange::writeOwnPendingLogs() {
    Error error;
    auto sealed = [this](const QString& path, const QByteArray& bytes, QString* why) {
        quint64 sequence = 0;
        parseChangeLogFileName(QFileInfo(path).fileName(), &sequence);
        return PrivateFile::writeWhole(path, seal(key_, SealedKind::Log, self_, sequence, bytes),
                                       why);
    };
    if (writePendingLogs(db_,
                         logsFolder() + QLatin1Char('/') + self_.toString(QUuid::WithoutBraces),
                         &error, sealed) < 0) {
        reportOnce(QStringLiteral("write|") + error.localizedDescription,
                   QStringLiteral("Cloud exchange: %1").arg(error.localizedDescription));
        return false;
    }
    return true;
}

bool LogExchange::retire() {
    if (!QFileInfo(container_).isDir() || !openDatabase() || !unlock()) {
        return false;
    }
    if (!writeOwnPendingLogs()) {
        return false;
    }
    retired_ = true;
    // Told once: a state already saying so is not written again at every launch.
    publishedState_ =
        QJsonDocument(readState(stateFolder() + QLatin1Char('/') +
                                    self_.toString(QUuid::WithoutBraces) + QStringLiteral(".json"),
                                self_))
            .toJson(QJsonDocument::Compact);
    publishState();
    return true;
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

quint64 LogExchange::applySnapshotOf(const QString& folder, const QUuid& writer, quint64 applied,
                                     AppliedChanges* changes) {
    QDir dir(folder);
    quint64 newest = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        quint64 sequence = 0;
        if (parseSnapshotFileName(name, &sequence))
            newest = std::max(newest, sequence);
    }
    // Taken only when the next log is gone: logs still there cost less.
    if (newest <= applied ||
        PrivateFile::look(dir.filePath(changeLogFileName(applied + 1))).exists) {
        return applied;
    }
    const QString path = dir.filePath(snapshotFileName(newest));
    const PrivateFile::Seen seen = PrivateFile::look(path);
    auto skip = [&](const QString& why) {
        reportOnce(
            QStringLiteral("%1|%2|%3|%4").arg(path).arg(seen.size).arg(seen.modified).arg(why),
            QStringLiteral("Cloud exchange: skipped the snapshot %1 (%2); it is tried again later.")
                .arg(path, why));
        return applied;
    };
    ChangeLog snapshot;
    QString why;
    switch (readLogFile(path, writer, newest, &snapshot, &why)) {
    case ReadLog::Ok:
        break;
    case ReadLog::Unchanged:
        return applied;
    case ReadLog::Refused:
        return skip(why);
    }
    Error error;
    if (!applySnapshot(db_, snapshot, changes, &error)) {
        return skip(error.localizedDescription);
    }
    return newest;
}

bool LogExchange::writeBaseline(Error* error) {
    // Never makes the container: its folder existing is what signed in means.
    if (!QFileInfo(container_).isDir() || !openDatabase() || !unlock()) {
        if (error) {
            *error = Error{kStoreErrorDomain, StoreOpenError,
                           QStringLiteral("The diary could not be opened for the cloud exchange.")};
        }
        return false;
    }
    return queueWholeDiary(db_, error) && writeOwnPendingLogs();
}

void LogExchange::applyWriter(const QString& folder, const QUuid& writer, AppliedChanges* changes) {
    QDir dir(folder);
    if (!QFileInfo(folder).isReadable() || !QFileInfo(folder).isExecutable()) {
        reportOnce(
            QStringLiteral("unreadable|") + folder,
            QStringLiteral("Cloud exchange: the folder %1 can't be read; it is tried again later.")
                .arg(folder));
        return;
    }
    // Only names of the form the writer gives: a sync engine's temporary and
    // conflict files ("*.sync-conflict-*", "* (conflicted copy)*") never match.
    std::map<quint64, QString> files;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        quint64 sequence = 0;
        if (parseChangeLogFileName(name, &sequence)) {
            files.emplace(sequence, dir.filePath(name));
        }
    }
    quint64 applied = applySnapshotOf(folder, writer, appliedSequence(db_, writer), changes);
    for (auto it = files.upper_bound(applied); it != files.end(); ++it) {
        if (it->first != applied + 1) {
            return; // an earlier log has not arrived yet
        }
        const PrivateFile::Seen seen = PrivateFile::look(it->second);
        auto skip = [&](const QString& why) {
            // The reason is part of the key: a file replaced within the
            // file system's time resolution may be damaged another way.
            reportOnce(
                QStringLiteral("%1|%2|%3|%4")
                    .arg(it->second)
                    .arg(seen.size)
                    .arg(seen.modified)
                    .arg(why),
                QStringLiteral(
                    "Cloud exchange: skipped the change log %1 (%2); it is tried again later.")
                    .arg(it->second, why));
        };
        ChangeLog log;
        QString why;
        switch (readLogFile(it->second, writer, it->first, &log, &why)) {
        case ReadLog::Ok:
            break;
        case ReadLog::Unchanged:
            return;
        case ReadLog::Refused:
            return skip(why);
        }
        Error error;
        if (!applyChangeLog(db_, log, changes, &error)) {
            return skip(error.localizedDescription);
        }
        applied = it->first;
    }
}

LogExchange::ReadLog LogExchange::readLogFile(const QString& path, const QUuid& writer,
                                              quint64 sequence, ChangeLog* log, QString* why) {
    const PrivateFile::Seen seen = PrivateFile::look(path);
    const auto known = refused_.find(path);
    if (known != refused_.end() && known->second == seen) {
        return ReadLog::Unchanged;
    }
    auto refuse = [&](const QString& reason) {
        refused_[path] = seen;
        *why = reason;
        return ReadLog::Refused;
    };
    if (!seen.regular) {
        return refuse(seen.exists ? QStringLiteral("it is not a regular file")
                                  : QStringLiteral("it is gone"));
    }
    // Told by its size before a byte is read: a huge file costs nothing.
    if (seen.size > kMaxChangeLogBytes) {
        return refuse(QStringLiteral("%1 bytes, more than any log").arg(seen.size));
    }
    QByteArray bytes, plain;
    QString reason;
    if (!PrivateFile::readRegular(path, kMaxChangeLogBytes, &bytes, &reason)) {
        return refuse(reason);
    }
    if (bytes.size() >= 10 && bytes.startsWith("QUILLOG\n") &&
        qFromLittleEndian<quint16>(bytes.constData() + 8) > kSealedVersion) {
        return refuse(QStringLiteral("format version %1; this version of Quillet reads versions "
                                     "%2 to %3")
                          .arg(qFromLittleEndian<quint16>(bytes.constData() + 8))
                          .arg(kOldestChangeLogVersion)
                          .arg(kSealedVersion));
    }
    if (!isSealed(bytes)) {
        // Anyone who can write to the folder could have written it.
        return refuse(decodeChangeLog(bytes, log, &reason) == DecodeStatus::Ok
                          ? QStringLiteral("it is not sealed: its writer seals it once it has "
                                           "the passphrase")
                          : reason);
    }
    const SealedKind kind =
        path.endsWith(QStringLiteral(".qsnap")) ? SealedKind::Snapshot : SealedKind::Log;
    if (!openSealed(bytes, key_, kind, writer, sequence, &plain, &reason) ||
        decodeChangeLog(plain, log, &reason) != DecodeStatus::Ok) {
        return refuse(reason);
    }
    if (log->writer != writer || log->sequence != sequence) {
        return refuse(QStringLiteral("it names another writer or sequence than its place"));
    }
    refused_.erase(path);
    return ReadLog::Ok;
}

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

LogExchangeThread::LogExchangeThread(const QString& storePath, const QString& containerPath,
                                     const void* announcer, int rescanMilliseconds)
    : thread_(std::make_unique<QThread>()),
      exchange_(std::make_unique<LogExchange>(storePath, containerPath)), announcer_(announcer),
      rescanMilliseconds_(rescanMilliseconds) {
    thread_->setObjectName(QStringLiteral("cloud exchange"));
    moveToThread(thread_.get());
    thread_->start();
    QMetaObject::invokeMethod(this, "setUp", Qt::QueuedConnection);
    wake();
}

LogExchangeThread::~LogExchangeThread() {
    QMetaObject::invokeMethod(this, "tearDown", Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
}

void LogExchangeThread::wake() {
    if (!queued_.exchange(true)) {
        QMetaObject::invokeMethod(this, "runRound", Qt::QueuedConnection);
    }
}

void LogExchangeThread::setUp() {
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &LogExchangeThread::wake);
    timer_->start(rescanMilliseconds_);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &LogExchangeThread::wake);
}

void LogExchangeThread::tearDown() {
    delete timer_;
    timer_ = nullptr;
    delete watcher_;
    watcher_ = nullptr;
    exchange_.reset();
}

void LogExchangeThread::watchFolders() {
    if (!watcher_)
        return;
    // The container too: the logs folder itself may appear at any time.
    QStringList wanted{QFileInfo(exchange_->logsFolder()).absolutePath(), exchange_->logsFolder()};
    QDir logs(exchange_->logsFolder());
    for (const QString& name :
         logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        wanted << logs.filePath(name);
    }
    const QStringList watched = watcher_->directories();
    QStringList added;
    for (const QString& path : wanted) {
        if (!watched.contains(path) && QFileInfo(path).isDir())
            added << path;
    }
    if (!added.isEmpty()) {
        watcher_->addPaths(added);
    }
}

void LogExchangeThread::runRound() {
    queued_.store(false);
    if (!exchange_)
        return;
    AppliedChanges changes;
    exchange_->exchange(&changes);
    watchFolders();
    if (changes.isEmpty()) {
        return;
    }
    auto list = [](const QSet<qint64>& keys) {
        std::vector<qint64> sorted(keys.begin(), keys.end());
        std::sort(sorted.begin(), sorted.end());
        QVariantList l;
        for (qint64 k : sorted)
            l.append(k);
        return l;
    };
    QVariantMap info;
    if (!changes.inserted.isEmpty())
        info.insert(QStringLiteral("inserted"), list(changes.inserted));
    if (!changes.updated.isEmpty())
        info.insert(QStringLiteral("updated"), list(changes.updated));
    if (!changes.deleted.isEmpty())
        info.insert(QStringLiteral("deleted"), list(changes.deleted));
    NotificationCenter::defaultCenter().postNotification(
        QStringLiteral("NSPersistentStoreDidImportUbiquitousContentChangesNotification"),
        announcer_, info);
}

} // namespace quillet::cloud
