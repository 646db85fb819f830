#include "diary/PasscodeStorage.h"

#include "core/UserDefaults.h"

namespace quillet {

namespace {
const QString kPasscode = QStringLiteral("passcode");
const QString kPasscodeLocked = QStringLiteral("passcodeLocked");
} // namespace

PasscodeStorage::PasscodeStorage(UserDefaults& defaults) : defaults_(defaults) {}

bool PasscodeStorage::isPasscodeValid(const QString& candidate) const {
    const QVariant stored = defaults_.objectForKey(kPasscode);
    if (!stored.isValid()) {
        return false;
    }
    return stored.toString() == candidate;
}

void PasscodeStorage::setPasscode(const QString& passcode) {
    defaults_.setObject(passcode, kPasscode);
    defaults_.synchronize();
}

QString PasscodeStorage::passcode() const {
    return defaults_.stringForKey(kPasscode);
}

bool PasscodeStorage::isPasscodeLocked() const {
    // A lock with no passcode to open it (a damaged settings file) would shut
    // the user out of the diary for good; it counts as no lock.
    return defaults_.boolForKey(kPasscodeLocked) && !passcode().isEmpty();
}

void PasscodeStorage::setIsPasscodeLocked(bool locked) {
    defaults_.setBool(locked, kPasscodeLocked);
    defaults_.synchronize();
}

} // namespace quillet
