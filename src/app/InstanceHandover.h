#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace quillet {

// One window per diary: a second launch of an edition on the same diary
// hands over to the running one through a local socket in XDG_RUNTIME_DIR,
// and the running one raises its window.
class InstanceHandover : public QObject {
    Q_OBJECT
public:
    // The socket of an edition and a data folder (two homes, two diaries).
    static QString serverName(const QString& bundleName, const QString& dataHome,
                              const QString& runtimeDir);
    // True when a running instance took the request; this launch then exits.
    static bool handOver(const QString& serverName, int timeoutMs = 1000);

    explicit InstanceHandover(QObject* parent = nullptr);
    // Takes over the socket for later launches; a socket left by a process
    // that died is replaced. False when it cannot listen (there is then no
    // handover, and the diary's own lock still keeps a second launch out).
    bool listen(const QString& serverName);

signals:
    void raiseRequested();

private:
    QLocalServer* server_;
};

} // namespace quillet
