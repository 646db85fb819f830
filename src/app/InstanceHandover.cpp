#include "app/InstanceHandover.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace quillet {

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
} // namespace

QString InstanceHandover::serverName(const QString& bundleName, const QString& dataHome,
                                     const QString& runtimeDir) {
    // A short, fixed-length name: socket paths are limited to about 100 bytes.
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(dataHome).toUtf8(), QCryptographicHash::Sha1);
    const QString name =
        QStringLiteral("%1-%2.socket").arg(bundleName, QString::fromLatin1(key.toHex().left(12)));
    return runtimeDir.isEmpty() ? name : QDir(runtimeDir).filePath(name);
}

bool InstanceHandover::handOver(const QString& serverName, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The running instance answers once it has taken the request.
    return socket.waitForReadyRead(timeoutMs) && socket.readAll().startsWith("ok");
}

InstanceHandover::InstanceHandover(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->canReadLine() && client->readLine() == kRaise) {
                    client->write("ok\n");
                    client->flush();
                    emit raiseRequested();
                }
            });
        }
    });
}

bool InstanceHandover::listen(const QString& serverName) {
    if (server_->listen(serverName)) {
        return true;
    }
    // Nobody answered there a moment ago: the socket is a dead process's.
    if (server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(serverName);
        return server_->listen(serverName);
    }
    return false;
}

} // namespace quillet
