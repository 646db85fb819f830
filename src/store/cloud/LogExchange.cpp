// One exchange round on the exchange's own connection: unlock the diary key,
// write this writer's logs, read and apply the others'.
#include "store/cloud/LogExchange.h"

#include "core/FolderSync.h"
#include "core/Log.h"
#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"
#include "store/SqliteStatement.h"
#include "store/cloud/ClockSkew.h"
#include "store/cloud/ExchangeFiles.h"
#include "store/cloud/SealedFile.h"
#include "store/cloud/Settling.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QtEndian>
#include <algorithm>
#include <sqlite3.h>

namespace quillet::cloud {

using namespace detail;

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

} // namespace quillet::cloud
