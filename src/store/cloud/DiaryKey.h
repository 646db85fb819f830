#pragma once

#include "store/cloud/SealedFile.h"

#include <QString>
#include <vector>

namespace quillet::cloud {

// The diary key is kept in the container wrapped by a key derived from the
// user's passphrase with Argon2id, one file per key:
//     <container>/Keys/<id in hex>.qkey
// A container holds one key; two machines that made one at the same time
// both see the two files and keep the one whose id sorts first.

// What the derivation costs: about a second on a desktop by default.
struct KeyCost {
    unsigned long long operations = 0;
    std::size_t memory = 0;
};
KeyCost defaultKeyCost();
// The least libsodium allows: for tests only, where a second per diary adds up.
KeyCost cheapestKeyCost();

DiaryKey makeDiaryKey();

// The key file's bytes: the key wrapped under the passphrase.
QByteArray wrapDiaryKey(const DiaryKey& key, const QString& passphrase, const KeyCost& cost);

enum class UnwrapStatus { Ok, WrongPassphrase, Unreadable };
// Unreadable: not a key file of a format this version reads (why says so).
UnwrapStatus unwrapDiaryKey(const QByteArray& file, const QString& passphrase, DiaryKey* key,
                            QString* why);

QString keyFolder(const QString& container);
QString keyFilePath(const QString& container, const QByteArray& id);
// The key files the container holds, the diary's key (lowest id) first.
std::vector<QString> keyFiles(const QString& container);
// The id a key file's name carries (empty when the name is not one).
QByteArray keyIdOfFile(const QString& path);

} // namespace quillet::cloud
