#include "store/cloud/ContainerKey.h"

#include "core/Log.h"
#include "core/PrivateFile.h"
#include "core/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <map>

namespace quillet::cloud {

namespace {
// A key file is a few hundred bytes.
constexpr qint64 kMaxKeyFileBytes = 64 << 10;

std::mutex defaultsMutex;
KeyCost defaultCost = defaultKeyCost();

// The first line of the file QUILLET_CLOUD_PASSPHRASE_FILE names.
std::optional<QString> passphraseFromFile() {
    const QString path = qEnvironmentVariable("QUILLET_CLOUD_PASSPHRASE_FILE");
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("QUILLET_CLOUD_PASSPHRASE_FILE: %1 can't be read: %2")
                       .arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray line = file.read(4096).split('\n').value(0);
    return QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
}
} // namespace

std::shared_ptr<ContainerKey> ContainerKey::forContainer(const QString& container) {
    static std::map<QString, std::shared_ptr<ContainerKey>> keys;
    const std::lock_guard lock(defaultsMutex);
    std::shared_ptr<ContainerKey>& key = keys[QDir::cleanPath(container)];
    if (!key) {
        key = std::make_shared<ContainerKey>(defaultCost);
        if (const std::optional<QString> passphrase = passphraseFromFile()) {
            key->offerPassphrase(*passphrase);
        }
    }
    return key;
}

void ContainerKey::setDefaultCost(const KeyCost& cost) {
    const std::lock_guard lock(defaultsMutex);
    defaultCost = cost;
}

ContainerKey::ContainerKey(const KeyCost& cost) : cost_(cost) {}

void ContainerKey::offerPassphrase(const QString& passphrase) {
    const std::lock_guard lock(mutex_);
    passphrase_ = passphrase;
    passphraseTried_ = false;
}

void ContainerKey::offerKey(const DiaryKey& key) {
    const std::lock_guard lock(mutex_);
    if (!key_) {
        key_ = key;
    }
}

void ContainerKey::setUnlockedHandler(std::function<void(const DiaryKey&)> handler) {
    const std::lock_guard lock(mutex_);
    unlocked_ = std::move(handler);
}

ContainerKey::State ContainerKey::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

bool ContainerKey::hasPassphraseOrKey() const {
    const std::lock_guard lock(mutex_);
    return key_ || (passphrase_ && !passphraseTried_) || (passphrase_ && state_ == State::Unlocked);
}

std::optional<DiaryKey> ContainerKey::heldKey() const {
    const std::lock_guard lock(mutex_);
    return state_ == State::Unlocked ? key_ : std::nullopt;
}

std::optional<DiaryKey> ContainerKey::replacedKey() const {
    const std::lock_guard lock(mutex_);
    return replaced_;
}

void ContainerKey::setState(State state, std::optional<DiaryKey> unlocked) {
    std::function<void(const DiaryKey&)> handler;
    {
        const std::lock_guard lock(mutex_);
        const bool news =
            unlocked && (state_ != State::Unlocked || !key_ || key_->id != unlocked->id);
        state_ = state;
        if (unlocked) {
            if (key_ && key_->id != unlocked->id) {
                replaced_ = key_;
            }
            key_ = unlocked;
        }
        if (news) {
            handler = unlocked_; // told once per key, not at every round
        }
    }
    if (handler) {
        handler(*unlocked);
    }
}

bool ContainerKey::writeKeyFile(const QString& container, const DiaryKey& key,
                                const QString& passphrase, QString* why) {
    const QByteArray wrapped = wrapDiaryKey(key, passphrase, cost_);
    if (wrapped.isEmpty()) {
        *why = QStringLiteral("the key derivation could not get its memory");
        return false;
    }
    return PrivateFolder::makeOwnPath(container, QStringLiteral("Keys"), why) &&
           PrivateFile::writeWhole(keyFilePath(container, key.id), wrapped, why);
}

std::optional<DiaryKey> ContainerKey::resolve(const QString& container) {
    const std::lock_guard serial(resolving_);
    std::optional<DiaryKey> held;
    std::optional<QString> passphrase;
    bool tried = false;
    {
        const std::lock_guard lock(mutex_);
        held = key_;
        passphrase = passphrase_;
        tried = passphraseTried_;
    }
    const std::vector<QString> files = keyFiles(container);
    if (files.empty()) {
        // Nobody made a key yet: this machine makes it, with the passphrase
        // chosen for it. A machine that finds one never makes its own.
        if (!passphrase) {
            setState(held ? State::NeedsPassphrase : State::ChoosePassphrase);
            return std::nullopt;
        }
        const DiaryKey key = held.value_or(makeDiaryKey());
        QString why;
        if (!writeKeyFile(container, key, *passphrase, &why)) {
            Log::write(
                QStringLiteral("Cloud exchange: the diary key could not be written: %1").arg(why));
            setState(State::ChoosePassphrase);
            return std::nullopt;
        }
        {
            const std::lock_guard lock(mutex_);
            madeId_ = key.id;
        }
        setState(State::Unlocked, key);
        return key;
    }
    const QByteArray winner = keyIdOfFile(files.front());
    if (held && held->id == winner) {
        setState(State::Unlocked, held);
        return held;
    }
    if (!passphrase || tried) {
        setState(passphrase ? State::WrongPassphrase : State::NeedsPassphrase);
        return std::nullopt;
    }
    // Argon2id: about a second, on the exchange's thread.
    for (const QString& file : files) {
        QByteArray bytes;
        QString why;
        DiaryKey key;
        const UnwrapStatus status = PrivateFile::readRegular(file, kMaxKeyFileBytes, &bytes, &why)
                                        ? unwrapDiaryKey(bytes, *passphrase, &key, &why)
                                        : UnwrapStatus::Unreadable;
        const bool misnamed = status == UnwrapStatus::Ok && key.id != keyIdOfFile(file);
        if (status == UnwrapStatus::Unreadable || misnamed) {
            if (misnamed)
                why = QStringLiteral("it holds another key than its name says");
            Log::write(
                QStringLiteral("Cloud exchange: the key file %1 is skipped: %2").arg(file, why));
            continue;
        }
        if (status == UnwrapStatus::WrongPassphrase) {
            {
                const std::lock_guard lock(mutex_);
                passphraseTried_ = true;
            }
            setState(State::WrongPassphrase);
            return std::nullopt;
        }
        // Of two keys made at once the first one wins everywhere; the one
        // this machine made goes once it holds the other.
        QByteArray made;
        {
            const std::lock_guard lock(mutex_);
            made = madeId_;
        }
        if (!made.isEmpty() && made != key.id) {
            QFile::remove(keyFilePath(container, made));
        }
        setState(State::Unlocked, key);
        return key;
    }
    setState(State::NeedsPassphrase);
    return std::nullopt;
}

bool ContainerKey::changePassphrase(const QString& container, const QString& passphrase,
                                    QString* why) {
    const std::optional<DiaryKey> key = heldKey();
    if (!key) {
        *why = QStringLiteral("the diary key is not unlocked on this machine");
        return false;
    }
    if (!writeKeyFile(container, *key, passphrase, why)) {
        return false;
    }
    const std::lock_guard lock(mutex_);
    passphrase_ = passphrase;
    passphraseTried_ = false;
    return true;
}

} // namespace quillet::cloud
