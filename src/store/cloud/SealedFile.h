#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

namespace quillet::cloud {

// The random key every file in the container is sealed with, and its id,
// which names the key file that holds it wrapped (see DiaryKey.h).
struct DiaryKey {
    QByteArray id;  // 16 bytes
    QByteArray key; // 32 bytes
    bool isNull() const { return key.isEmpty(); }
    bool operator==(const DiaryKey&) const = default;
};

// What a sealed file holds; bound into it, like its writer and sequence, so
// that no file can stand in for another.
enum class SealedKind : quint16 { Log = 1, Snapshot = 2, WriterState = 3 };

// The change-log format's version 4: any file's bytes (a version 1 to 3 log
// or snapshot, or a writer state) in an envelope of XChaCha20-Poly1305 (see
// docs/change-log-format.md).
inline constexpr quint16 kSealedVersion = 4;

// libsodium set up once per process; false when it cannot be.
bool sodiumReady();

// True when the bytes begin like a sealed file (of any key).
bool isSealed(QByteArrayView bytes);
// The id of the key a sealed file was sealed with (empty when it is none).
QByteArray sealedKeyId(QByteArrayView bytes);

QByteArray seal(const DiaryKey& key, SealedKind kind, const QUuid& writer, quint64 sequence,
                QByteArrayView plain);

// Opens a sealed file found at the place of `kind`, `writer` and `sequence`:
// false, with the reason, when it is cut short, sealed under another key,
// meant for another place, or altered in any byte.
bool openSealed(QByteArrayView bytes, const DiaryKey& key, SealedKind kind, const QUuid& writer,
                quint64 sequence, QByteArray* plain, QString* why);

} // namespace quillet::cloud
