#include "store/cloud/SealedFile.h"

#include <QtEndian>
#include <sodium.h>

namespace quillet::cloud {

namespace {

constexpr char kMagic[8] = {'Q', 'U', 'I', 'L', 'L', 'O', 'G', '\n'};
constexpr qsizetype kIdBytes = 16;
constexpr qsizetype kNonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype kTagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
// magic, version, kind, writer, sequence, key id, nonce, sealed length
constexpr qsizetype kHeaderBytes = 8 + 2 + 2 + 16 + 8 + kIdBytes + kNonceBytes + 4;
static_assert(kHeaderBytes == 80);

template <typename T> void put(QByteArray& bytes, T value) {
    char b[sizeof(T)];
    qToLittleEndian(value, b);
    bytes.append(b, sizeof(T));
}

template <typename T> T get(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<T>(bytes.data() + at);
}

bool fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

bool isSealed(QByteArrayView bytes) {
    return bytes.size() >= 10 && bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic)) &&
           get<quint16>(bytes, 8) == kSealedVersion;
}

QByteArray sealedKeyId(QByteArrayView bytes) {
    return isSealed(bytes) && bytes.size() >= kHeaderBytes
               ? bytes.sliced(36, kIdBytes).toByteArray()
               : QByteArray();
}

QByteArray seal(const DiaryKey& key, SealedKind kind, const QUuid& writer, quint64 sequence,
                QByteArrayView plain) {
    sodiumReady();
    QByteArray bytes(kMagic, sizeof kMagic);
    put(bytes, kSealedVersion);
    put(bytes, quint16(kind));
    bytes.append(writer.toRfc4122());
    put(bytes, sequence);
    bytes.append(key.id.left(kIdBytes).leftJustified(kIdBytes, '\0'));
    QByteArray nonce(kNonceBytes, Qt::Uninitialized);
    randombytes_buf(nonce.data(), size_t(nonce.size())); // random: 192 bits never repeat
    bytes.append(nonce);
    put(bytes, quint32(plain.size() + kTagBytes));
    const qsizetype header = bytes.size();
    bytes.resize(header + plain.size() + kTagBytes);
    unsigned long long sealedLength = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        reinterpret_cast<unsigned char*>(bytes.data() + header), &sealedLength,
        reinterpret_cast<const unsigned char*>(plain.data()), size_t(plain.size()),
        reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(header), nullptr,
        reinterpret_cast<const unsigned char*>(nonce.constData()),
        reinterpret_cast<const unsigned char*>(key.key.constData()));
    return bytes;
}

bool openSealed(QByteArrayView bytes, const DiaryKey& key, SealedKind kind, const QUuid& writer,
                quint64 sequence, QByteArray* plain, QString* why) {
    sodiumReady();
    if (!isSealed(bytes)) {
        return fail(why, QStringLiteral("it is not sealed"));
    }
    if (bytes.size() < kHeaderBytes) {
        return fail(why, QStringLiteral("it ends after %1 bytes").arg(bytes.size()));
    }
    const qint64 expected = kHeaderBytes + qint64(get<quint32>(bytes, kHeaderBytes - 4));
    if (bytes.size() < expected) {
        return fail(why,
                    QStringLiteral("it ends after %1 of %2 bytes").arg(bytes.size()).arg(expected));
    }
    if (bytes.size() > expected || expected < kHeaderBytes + kTagBytes) {
        return fail(why, QStringLiteral("it has bytes after its end"));
    }
    if (get<quint16>(bytes, 10) != quint16(kind) ||
        QUuid::fromRfc4122(bytes.sliced(12, 16)) != writer || get<quint64>(bytes, 28) != sequence) {
        return fail(why, QStringLiteral("it was sealed for another place"));
    }
    if (key.isNull() || bytes.sliced(36, kIdBytes) != QByteArrayView(key.id)) {
        return fail(why, QStringLiteral("it is sealed under another diary key"));
    }
    QByteArray opened(expected - kHeaderBytes - kTagBytes, Qt::Uninitialized);
    unsigned long long openedLength = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char*>(opened.data()), &openedLength, nullptr,
            reinterpret_cast<const unsigned char*>(bytes.data() + kHeaderBytes),
            size_t(expected - kHeaderBytes), reinterpret_cast<const unsigned char*>(bytes.data()),
            size_t(kHeaderBytes),
            reinterpret_cast<const unsigned char*>(bytes.data() + kHeaderBytes - 4 - kNonceBytes),
            reinterpret_cast<const unsigned char*>(key.key.constData())) != 0) {
        return fail(why, QStringLiteral("its seal does not match: it was altered"));
    }
    *plain = std::move(opened);
    return true;
}

} // namespace quillet::cloud
