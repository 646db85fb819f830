#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

#include <map>
#include <memory>

class QSocketNotifier;

namespace quillet {

// One window per diary: a second launch of an edition on the same diary
// hands over to the running one through a local socket in a folder only the
// user can write (XDG_RUNTIME_DIR, or one of the user's own under the cache
// or data folder, never a shared name in /tmp), and the running one raises
// its window. Both ends check that the other is the same user. A plain AF_UNIX socket watched by
// the event loop: the handover is all this process would load a network
// library for, and loading one weighs on every launch.
class InstanceHandover : public QObject {
    Q_OBJECT
public:
    // The socket of an edition and a data folder (two homes, two diaries):
    // in `runtimeDir` when it is the user's alone, else in a folder of the
    // user's own made under `cacheHome` or `dataHome`. Empty when there is
    // no such folder: there is then no handover (the diary's lock remains).
    static QString serverName(const QString& bundleName, const QString& dataHome,
                              const QString& runtimeDir, const QString& cacheHome = QString());
    // True when a running instance took the request; this launch then exits.
    static bool handOver(const QString& serverName, int timeoutMs = 1000);
    // Hands an import of path to the running instance. False when none took
    // it; *refusal then holds its reason, or is empty when none answered.
    static bool handOverImport(const QString& serverName, const QString& path, QString* refusal,
                               int timeoutMs = 3000);

    explicit InstanceHandover(QObject* parent = nullptr);
    ~InstanceHandover() override;
    // Takes over the socket for later launches; a socket left by a process
    // that died is replaced. False when it cannot listen (there is then no
    // handover, and the diary's own lock still keeps a second launch out).
    bool listen(const QString& serverName);
    // A connection that has not sent its request by then is closed.
    void setIdleTimeout(int milliseconds) { idleMilliseconds_ = milliseconds; }

    // Answers an import request: empty when it was taken, otherwise why not.
    std::function<QString(const QString& path)> importHandler;

signals:
    void raiseRequested();

private:
    // Sends one request line and answers the reply line (empty without one).
    static QByteArray request(const QString& serverName, const QByteArray& line, int timeoutMs);
    struct Client;
    void acceptClients();
    void readClient(int fd);
    void dropClient(int fd);
    void stopListening();

    int listener_ = -1;
    QString path_;
    // The socket file as bound: at the end it is removed only if still ours.
    quint64 fileDevice_ = 0;
    quint64 fileInode_ = 0;
    QSocketNotifier* listenerNotifier_ = nullptr;
    std::map<int, std::unique_ptr<Client>> clients_;
    int idleMilliseconds_ = 3000;
};

} // namespace quillet
