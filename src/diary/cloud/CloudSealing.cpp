#include "diary/cloud/CloudSealing.h"

#include "diary/cloud/CloudKeyring.h"
#include "store/cloud/ContainerKey.h"

#include <QCoreApplication>

namespace quillet::CloudSealing {

void prepare(const QString& container) {
    if (container.isEmpty() || qEnvironmentVariableIsSet("QUILLET_CLOUD_PASSPHRASE_FILE")) {
        return;
    }
    const std::shared_ptr<cloud::ContainerKey> keys = cloud::ContainerKey::forContainer(container);
    // Told on the exchange's thread; the keyring is asked on the main one.
    keys->setUnlockedHandler([container](const cloud::DiaryKey& key) {
        QMetaObject::invokeMethod(QCoreApplication::instance(),
                                  [container, key] { CloudKeyring::store(container, key); });
    });
    if (!keys->hasPassphraseOrKey()) {
        if (const std::optional<cloud::DiaryKey> kept = CloudKeyring::load(container)) {
            keys->offerKey(*kept);
        }
    }
}

Need need(const QString& container) {
    if (container.isEmpty()) {
        return Need::Nothing;
    }
    const std::shared_ptr<cloud::ContainerKey> keys = cloud::ContainerKey::forContainer(container);
    if (keys->hasPassphraseOrKey()) {
        return Need::Nothing;
    }
    return cloud::keyFiles(container).empty() ? Need::NewPassphrase : Need::Passphrase;
}

} // namespace quillet::CloudSealing
