#pragma once

#include "store/cloud/DiaryKey.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace quillet::cloud {

// The diary key of one container as this process holds it, shared by the
// exchange (which resolves it at every round, on its own thread) and the
// window (which offers a passphrase or a key from the keyring, and shows the
// state). Without a key the exchange neither reads nor writes anything.
class ContainerKey {
public:
    enum class State {
        Unknown,          // not looked at yet
        ChoosePassphrase, // the container holds no key: one is made with a new passphrase
        NeedsPassphrase,  // the container's key is not unlocked on this machine yet
        WrongPassphrase,  // the passphrase offered does not unwrap it
        Unlocked
    };

    // The one of this process for the container at `container`. When
    // QUILLET_CLOUD_PASSPHRASE_FILE names a file, its first line is offered
    // as the passphrase (scripted and headless use).
    static std::shared_ptr<ContainerKey> forContainer(const QString& container);
    // What the keys forContainer makes from then on cost to derive.
    static void setDefaultCost(const KeyCost& cost);

    explicit ContainerKey(const KeyCost& cost = defaultKeyCost());

    // Tried at the next round (and kept in memory only, for a key made
    // elsewhere at the same time, never written in plain text).
    void offerPassphrase(const QString& passphrase);
    // The unwrapped key this machine kept (the desktop keyring).
    void offerKey(const DiaryKey& key);
    // Told on the exchange's thread whenever a key is unlocked or made.
    void setUnlockedHandler(std::function<void(const DiaryKey&)> handler);

    State state() const;
    // A passphrase or a kept key waits to be tried: nothing needs asking.
    bool hasPassphraseOrKey() const;
    std::optional<DiaryKey> heldKey() const;
    // The key this one replaced (it lost to a key made elsewhere at the same time).
    std::optional<DiaryKey> replacedKey() const;

    // Makes the key when the container holds none and a passphrase is
    // offered; else unlocks the container's key (the lowest id of its key
    // files: of two made at once, both machines keep the same one). Answers
    // the key to seal with, or none.
    std::optional<DiaryKey> resolve(const QString& container);

    // Wraps the held key under a new passphrase: the files stay as they are.
    bool changePassphrase(const QString& container, const QString& passphrase, QString* why);

private:
    bool writeKeyFile(const QString& container, const DiaryKey& key, const QString& passphrase,
                      QString* why);
    void setState(State state, std::optional<DiaryKey> unlocked = std::nullopt);

    KeyCost cost_;
    mutable std::mutex mutex_;
    std::mutex resolving_; // one derivation at a time, outside mutex_
    State state_ = State::Unknown;
    std::optional<DiaryKey> key_, replaced_;
    std::optional<QString> passphrase_;
    bool passphraseTried_ = false; // a wrong one is not derived again at every round
    QByteArray madeId_;            // the key this process made, if any
    std::function<void(const DiaryKey&)> unlocked_;
};

} // namespace quillet::cloud
