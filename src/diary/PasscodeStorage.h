#pragma once

#include <QString>

namespace quillet {

class UserDefaults;

// The passcode and the lock flag, in the settings. The passcode is kept as
// typed and compared letter for letter; every write is flushed at once, and
// every read goes to the settings, so nothing lingers in memory.
class PasscodeStorage {
public:
    explicit PasscodeStorage(UserDefaults& defaults);

    // True only when a passcode is stored and equals the candidate exactly.
    bool isPasscodeValid(const QString& candidate) const;
    void setPasscode(const QString& passcode);
    // Null when none is stored.
    QString passcode() const;
    // The flag counts only while a passcode is stored to open the lock.
    bool isPasscodeLocked() const;
    void setIsPasscodeLocked(bool locked);

private:
    UserDefaults& defaults_;
};

} // namespace quillet
