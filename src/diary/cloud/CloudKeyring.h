#pragma once

#include "store/cloud/SealedFile.h"

#include <QString>
#include <optional>

namespace quillet::CloudKeyring {

// The unwrapped diary key of a container, kept in the desktop's keyring
// (the Secret Service, through QtKeychain), so that a machine asks for the
// passphrase once. Where no keyring runs nothing is kept (never in a plain
// file), and the passphrase is asked at each launch. Main thread only.
std::optional<cloud::DiaryKey> load(const QString& container);
void store(const QString& container, const cloud::DiaryKey& key);

} // namespace quillet::CloudKeyring
