// Running the exchange on a helper thread: woken by commits, the file system
// watch and a timer, announcing what a round changed to the main thread.
#include "store/cloud/LogExchange.h"

#include "core/Log.h"
#include "core/NotificationCenter.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>

namespace quillet::cloud {

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
