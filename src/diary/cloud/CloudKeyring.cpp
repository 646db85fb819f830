#include "diary/cloud/CloudKeyring.h"

#include "core/Log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace quillet::CloudKeyring {

namespace {

const QString kService = QStringLiteral("Quillet cloud folder");

// One entry per container folder; the path itself stays out of the keyring.
QString entryName(const QString& container) {
    return QString::fromLatin1(
        QCryptographicHash::hash(QDir::cleanPath(container).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32));
}

} // namespace

std::optional<cloud::DiaryKey> load(const QString& container) {
    QKeychain::ReadPasswordJob job(kService);
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(entryName(container));
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    // A keyring that does not answer in time counts as none.
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    const QByteArray data = job.binaryData();
    if (job.error() != QKeychain::NoError || data.size() != 48) {
        return std::nullopt;
    }
    return cloud::DiaryKey{data.left(16), data.mid(16)};
}

void store(const QString& container, const cloud::DiaryKey& key) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(entryName(container));
    job->setBinaryData(key.id + key.key);
    QObject::connect(job, &QKeychain::Job::finished, [](QKeychain::Job* done) {
        if (done->error() != QKeychain::NoError) {
            Log::write(QStringLiteral("Cloud folder: no keyring keeps the diary key (%1); the "
                                      "passphrase is asked at each launch.")
                           .arg(done->errorString()));
        }
    });
    job->start();
}

} // namespace quillet::CloudKeyring
