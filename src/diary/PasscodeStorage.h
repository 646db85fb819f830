#pragma once

#include <QString>

namespace quillet {

class UserDefaults;

// The passcode and the lock flag, in the settings. A passcode is four digits;
// digits of any script are kept and compared as ASCII, so that the same
// digits typed on another keyboard layout open the lock. Every write is
// flushed at once, and every read goes to the settings, so nothing lingers in
// memory.
class PasscodeStorage {
public:
    explicit PasscodeStorage(UserDefaults& defaults);

    // True only when a usable passcode is stored and equals the candidate
    // once both have their digits folded to ASCII.
    bool isPasscodeValid(const QString& candidate) const;
    // False (and reported by the settings) when it could not be written.
    bool setPasscode(const QString& passcode);
    // Null when none is stored.
    QString passcode() const;
    // The flag counts only while a passcode that can be typed is stored to
    // open the lock: exactly four digits.
    bool isPasscodeLocked() const;
    bool setIsPasscodeLocked(bool locked);

    // Every decimal digit of any script (full-width, Arabic-Indic, Persian,
    // Devanagari, ...) as its ASCII digit; anything else as it is.
    static QString foldDigits(const QString& text);
    // Exactly four ASCII digits.
    static bool isUsablePasscode(const QString& passcode);

private:
    UserDefaults& defaults_;
};

} // namespace quillet
