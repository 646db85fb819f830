#pragma once

#include <QString>

namespace quillet::CloudSealing {

// For a diary that exchanges through `container`: the key the keyring kept
// is offered, and whichever key gets unlocked is kept there from then on
// (not with QUILLET_CLOUD_PASSPHRASE_FILE, which stands for the keyring).
void prepare(const QString& container);

// What the window must ask before anything is exchanged.
enum class Need { Nothing, NewPassphrase, Passphrase };
Need need(const QString& container);

} // namespace quillet::CloudSealing
