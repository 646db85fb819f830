#include "store/cloud/DiaryKey.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <sodium.h>

namespace quillet::cloud {

namespace {

constexpr int kKeyFileFormat = 1;
const QByteArray kWrapContext = QByteArrayLiteral("Quillet diary key ");

const unsigned char* bytesOf(const QByteArray& b) {
    return reinterpret_cast<const unsigned char*>(b.constData());
}

// The passphrase's key; empty when the derivation could not get its memory.
QByteArray derive(const QString& passphrase, const QByteArray& salt, const KeyCost& cost) {
    const QByteArray utf8 = passphrase.toUtf8();
    QByteArray derived(crypto_aead_xchacha20poly1305_ietf_KEYBYTES, Qt::Uninitialized);
    if (crypto_pwhash(reinterpret_cast<unsigned char*>(derived.data()), size_t(derived.size()),
                      utf8.constData(), size_t(utf8.size()), bytesOf(salt), cost.operations,
                      cost.memory, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return {};
    }
    return derived;
}

} // namespace

// Libsodium's "moderate" memory (256 MiB) with twice its passes: about a
// second on a desktop (bench: BM_UnwrapTheDiaryKeyFromThePassphrase).
KeyCost defaultKeyCost() {
    return {2 * crypto_pwhash_OPSLIMIT_MODERATE, crypto_pwhash_MEMLIMIT_MODERATE};
}

KeyCost cheapestKeyCost() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

DiaryKey makeDiaryKey() {
    sodiumReady();
    DiaryKey key;
    key.id.resize(16);
    key.key.resize(crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
    randombytes_buf(key.id.data(), size_t(key.id.size()));
    crypto_aead_xchacha20poly1305_ietf_keygen(reinterpret_cast<unsigned char*>(key.key.data()));
    return key;
}

QByteArray wrapDiaryKey(const DiaryKey& key, const QString& passphrase, const KeyCost& cost) {
    sodiumReady();
    QByteArray salt(crypto_pwhash_SALTBYTES, Qt::Uninitialized);
    QByteArray nonce(crypto_aead_xchacha20poly1305_ietf_NPUBBYTES, Qt::Uninitialized);
    randombytes_buf(salt.data(), size_t(salt.size()));
    randombytes_buf(nonce.data(), size_t(nonce.size()));
    QByteArray wrapping = derive(passphrase, salt, cost);
    if (wrapping.isEmpty()) {
        return {};
    }
    const QByteArray context = kWrapContext + key.id.toHex();
    QByteArray wrapped(key.key.size() + crypto_aead_xchacha20poly1305_ietf_ABYTES,
                       Qt::Uninitialized);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(wrapped.data()),
                                               &length, bytesOf(key.key), size_t(key.key.size()),
                                               bytesOf(context), size_t(context.size()), nullptr,
                                               bytesOf(nonce), bytesOf(wrapping));
    sodium_memzero(wrapping.data(), size_t(wrapping.size()));
    const QJsonObject file{{QStringLiteral("format"), kKeyFileFormat},
                           {QStringLiteral("id"), QString::fromLatin1(key.id.toHex())},
                           {QStringLiteral("kdf"), QStringLiteral("argon2id13")},
                           {QStringLiteral("operations"), qint64(cost.operations)},
                           {QStringLiteral("memory"), qint64(cost.memory)},
                           {QStringLiteral("salt"), QString::fromLatin1(salt.toBase64())},
                           {QStringLiteral("nonce"), QString::fromLatin1(nonce.toBase64())},
                           {QStringLiteral("wrapped"), QString::fromLatin1(wrapped.toBase64())}};
    return QJsonDocument(file).toJson(QJsonDocument::Compact);
}

UnwrapStatus unwrapDiaryKey(const QByteArray& bytes, const QString& passphrase, DiaryKey* key,
                            QString* why) {
    sodiumReady();
    auto unreadable = [&](const QString& text) {
        if (why)
            *why = text;
        return UnwrapStatus::Unreadable;
    };
    const QJsonObject file = QJsonDocument::fromJson(bytes).object();
    if (file.value(QStringLiteral("format")).toInt() != kKeyFileFormat ||
        file.value(QStringLiteral("kdf")).toString() != QStringLiteral("argon2id13")) {
        return unreadable(QStringLiteral("it is not a key file of a format this version reads"));
    }
    const QByteArray id =
        QByteArray::fromHex(file.value(QStringLiteral("id")).toString().toLatin1());
    const QByteArray salt =
        QByteArray::fromBase64(file.value(QStringLiteral("salt")).toString().toLatin1());
    const QByteArray nonce =
        QByteArray::fromBase64(file.value(QStringLiteral("nonce")).toString().toLatin1());
    const QByteArray wrapped =
        QByteArray::fromBase64(file.value(QStringLiteral("wrapped")).toString().toLatin1());
    const KeyCost cost{quint64(file.value(QStringLiteral("operations")).toInteger()),
                       std::size_t(file.value(QStringLiteral("memory")).toInteger())};
    // Limits from a file others can write: never more than a desktop can give.
    if (id.size() != 16 || salt.size() != crypto_pwhash_SALTBYTES ||
        nonce.size() != crypto_aead_xchacha20poly1305_ietf_NPUBBYTES ||
        wrapped.size() != crypto_aead_xchacha20poly1305_ietf_KEYBYTES +
                              crypto_aead_xchacha20poly1305_ietf_ABYTES ||
        cost.operations < crypto_pwhash_OPSLIMIT_MIN || cost.operations > 16 ||
        cost.memory < crypto_pwhash_MEMLIMIT_MIN || cost.memory > (std::size_t(1) << 30)) {
        return unreadable(QStringLiteral("its fields are malformed"));
    }
    QByteArray wrapping = derive(passphrase, salt, cost);
    if (wrapping.isEmpty()) {
        return unreadable(QStringLiteral("the key derivation could not get its memory"));
    }
    const QByteArray context = kWrapContext + id.toHex();
    DiaryKey result;
    result.id = id;
    result.key.resize(crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
    unsigned long long length = 0;
    const int opened = crypto_aead_xchacha20poly1305_ietf_decrypt(
        reinterpret_cast<unsigned char*>(result.key.data()), &length, nullptr, bytesOf(wrapped),
        size_t(wrapped.size()), bytesOf(context), size_t(context.size()), bytesOf(nonce),
        bytesOf(wrapping));
    sodium_memzero(wrapping.data(), size_t(wrapping.size()));
    if (opened != 0) {
        return UnwrapStatus::WrongPassphrase;
    }
    *key = std::move(result);
    return UnwrapStatus::Ok;
}

QString keyFolder(const QString& container) {
    return container + QStringLiteral("/Keys");
}

QString keyFilePath(const QString& container, const QByteArray& id) {
    return keyFolder(container) + QLatin1Char('/') + QString::fromLatin1(id.toHex()) +
           QStringLiteral(".qkey");
}

QByteArray keyIdOfFile(const QString& path) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{32})\\.qkey$"));
    const QRegularExpressionMatch m = pattern.match(QFileInfo(path).fileName());
    return m.hasMatch() ? QByteArray::fromHex(m.captured(1).toLatin1()) : QByteArray();
}

std::vector<QString> keyFiles(const QString& container) {
    std::vector<QString> files;
    const QDir dir(keyFolder(container));
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name)) {
        if (!keyIdOfFile(name).isEmpty())
            files.push_back(dir.filePath(name));
    }
    return files;
}

} // namespace quillet::cloud
