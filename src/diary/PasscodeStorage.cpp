#include "diary/PasscodeStorage.h"

#include "core/UserDefaults.h"

namespace quillet {

namespace {
const QString kPasscode = QStringLiteral("passcode");
const QString kPasscodeLocked = QStringLiteral("passcodeLocked");
} // namespace

PasscodeStorage::PasscodeStorage(UserDefaults& defaults) : defaults_(defaults) {}

QString PasscodeStorage::foldDigits(const QString& text) {
    QString folded;
    folded.reserve(text.size());
    for (const char32_t point : text.toUcs4()) {
        if (QChar::category(point) == QChar::Number_DecimalDigit) {
            folded += QChar(u'0' + QChar::digitValue(point));
        } else {
            folded += QString::fromUcs4(&point, 1);
        }
    }
    return folded;
}

bool PasscodeStorage::isUsablePasscode(const QString& passcode) {
    if (passcode.size() != 4) {
        return false;
    }
    for (const QChar c : passcode) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

bool PasscodeStorage::isPasscodeValid(const QString& candidate) const {
    const QVariant stored = defaults_.objectForKey(kPasscode);
    if (!stored.isValid()) {
        return false;
    }
    // A passcode stored as typed by an earlier version is folded here too.
    const QString passcode = foldDigits(stored.toString());
    return isUsablePasscode(passcode) && passcode == foldDigits(candidate);
}

bool PasscodeStorage::setPasscode(const QString& passcode) {
    defaults_.setObject(foldDigits(passcode), kPasscode);
    return defaults_.synchronize();
}

QString PasscodeStorage::passcode() const {
    return defaults_.stringForKey(kPasscode);
}

bool PasscodeStorage::isPasscodeLocked() const {
    // A lock that no typed entry can open (no passcode, letters, three or five
    // digits: a damaged or hand-edited settings file) would shut the user out
    // of the diary for good; it counts as no lock.
    return defaults_.boolForKey(kPasscodeLocked) && isUsablePasscode(foldDigits(passcode()));
}

bool PasscodeStorage::setIsPasscodeLocked(bool locked) {
    defaults_.setBool(locked, kPasscodeLocked);
    return defaults_.synchronize();
}

} // namespace quillet
