#pragma once

#include "core/PrivateFile.h"
#include "store/SqliteDatabase.h"
#include "store/cloud/CloudTables.h"
#include "store/cloud/ContainerKey.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>
#include <map>
#include <memory>

class QThread;
class QTimer;
class QFileSystemWatcher;

namespace quillet::cloud {

// Exchanges change logs between a store file and the container's
// "TransactionLogs" folder: writes this store's pending changes as its next
// logs and applies every complete log of the other writers that it has not
// applied yet. Uses a connection of its own, so it may run on another thread
// while the store is in use.
// Every file it writes into the container is sealed under the diary key
// (SealedFile.h); without the key unlocked it reads and writes nothing.
class LogExchange {
public:
    // `keys` holds the diary key; by default the process's one for the container.
    LogExchange(QString storePath, QString containerPath,
                std::shared_ptr<ContainerKey> keys = nullptr);
    ~LogExchange();

    // One round: write, then read and apply. What other writers changed is
    // added to `changes`. False when the container is missing or unreadable.
    bool exchange(AppliedChanges* changes);
    // For a diary that has just joined the exchange: writes logs holding all
    // of it, applying nothing, so that a fresh diary on any machine gets it whole.
    bool writeBaseline(Error* error);
    // For a diary file that will not be opened again (the copy a move into
    // the cloud leaves in the container once the next launch opens a fresh
    // file): what it saved and never wrote out goes out now, and its state
    // says it is retired, so that the others fold their logs without waiting
    // for it to apply them. False, to be tried again, when that failed.
    bool retire();
    QString logsFolder() const { return container_ + QStringLiteral("/TransactionLogs"); }
    // Where every writer publishes the sequences it has applied ("<writer>.json").
    QString stateFolder() const { return container_ + QStringLiteral("/WriterState"); }
    // Own logs are folded into a snapshot once at least this many of them
    // have been applied by every known writer.
    void setFoldAfter(int logs) { foldAfter_ = logs; }

private:
    bool openDatabase();
    // The diary key for this round; false (said once per state) without it.
    bool unlock();
    // This writer's files written before sealing or under a key that lost
    // to another are sealed again under the diary key, in place.
    void resealOwnFiles();
    bool writeSealed(const QString& path, SealedKind kind, quint64 sequence,
                     const QByteArray& bytes, QString* why);
    QJsonObject readState(const QString& path, const QUuid& writer);
    // This writer's saved changes not yet in a log; false (told once) on failure.
    bool writeOwnPendingLogs();
    void applyWriter(const QString& folder, const QUuid& writer, AppliedChanges* changes);
    // Applies the writer's newest snapshot when it covers logs not applied
    // here yet (a diary starting from nothing); answers the applied sequence.
    quint64 applySnapshotOf(const QString& folder, const QUuid& writer, quint64 applied,
                            AppliedChanges* changes);
    // Reads and decodes one log or snapshot of `writer` at `sequence`. A file
    // refused for what it is or holds is read again only once its size or
    // modification time has changed (a synced link to a device costs nothing).
    enum class ReadLog { Ok, Unchanged, Refused };
    ReadLog readLogFile(const QString& path, const QUuid& writer, quint64 sequence, ChangeLog* log,
                        QString* why);
    void publishState();
    // The sequence of `writer`'s logs that another writer says it has
    // applied; 0 without a readable state of a known version.
    quint64 publishedApplied(const QString& other, const QUuid& writer);
    void foldOwnLogs();
    // Each fault is told once, not at every rescan; a file that changes is new.
    void reportOnce(const QString& key, const QString& line);

    QString storePath_;
    QString container_;
    SqliteDatabase db_;
    QUuid self_;
    QSet<QString> reported_;
    std::map<QString, PrivateFile::Seen> refused_;
    bool containerMissing_ = false;
    QByteArray publishedState_;
    QJsonObject settleMembers_; // what the others settle by, published in the state
    bool retired_ = false;
    int foldAfter_ = 64;
    std::shared_ptr<ContainerKey> keys_;
    DiaryKey key_;
    QByteArray resealedWith_;
};

// What the cloud pane tells about a diary's part in the exchange, read from
// its file and the container without disturbing either.
struct ExchangeStatus {
    int writers = 0; // diary files writing to the container, this one included (not retired ones)
    QDateTime lastWritten;          // this diary's newest log (invalid: none yet)
    QDateTime lastApplied;          // when a log of another writer was last applied here
    int otherClockAheadMinutes = 0; // another writer's clock runs this far ahead of this one's
    int ownClockAheadMinutes = 0;   // another writer found this machine's clock this far ahead
    int plainFiles = 0;             // logs, snapshots and states from before sealing
};
// `key`, when unlocked, reads the writers' sealed states (which are retired).
ExchangeStatus readExchangeStatus(const QString& storePath, const QString& containerPath,
                                  const std::optional<DiaryKey>& key = std::nullopt);

// Runs a LogExchange on a helper thread: at every change the file system
// reports in the logs folder, after every commit of the store (wake), and
// every few seconds besides, since sync engines rename and touch files in
// many ways. After a round that changed entries, posts
// "NSPersistentStoreDidImportUbiquitousContentChangesNotification" with
// `announcer` as object and the row keys under "inserted", "updated" and
// "deleted".
class LogExchangeThread : public QObject {
    Q_OBJECT
public:
    LogExchangeThread(const QString& storePath, const QString& containerPath, const void* announcer,
                      int rescanMilliseconds = 3000);
    ~LogExchangeThread() override;
    // Safe from any thread; rounds asked for while one runs fold into one.
    void wake();

private:
    Q_INVOKABLE void setUp();
    Q_INVOKABLE void runRound();
    Q_INVOKABLE void tearDown();
    void watchFolders();

    std::unique_ptr<QThread> thread_;
    std::unique_ptr<LogExchange> exchange_;
    QTimer* timer_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    const void* announcer_;
    int rescanMilliseconds_;
    std::atomic<bool> queued_{false};
};

} // namespace quillet::cloud
