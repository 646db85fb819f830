#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace quillet {

class Utility;

// What a four-digit entry means in each mode of the passcode panel: "Door"
// opens the lock screen; "Set" then "Reenter" turn the lock on; "Off" turns
// it off; "Change" asks for the old passcode before "Set". An empty mode is
// idle. The panel shows what each step answers.
class PasscodeFlow {
public:
    static const QString kDoor, kSet, kReenter, kOff, kChange;
    static const QString kEnterPasscode, kEnterNewPasscode, kReenterPasscode, kWrongPasscode,
        kDidNotMatch;

    // Where the passcode and the lock flag are kept. The writes answer false
    // when nothing was stored (the settings tell the user why).
    struct Storage {
        std::function<bool(const QString&)> isPasscodeValid;
        std::function<bool(const QString&)> setPasscode;
        std::function<bool(bool)> setIsPasscodeLocked;
        static Storage of(Utility* utility);
    };

    // What the panel does after an entry.
    struct Step {
        std::optional<QString> title; // a new heading, when it changes
        std::optional<QString> alert; // shown in the alert line
        bool clearAlert = false;      // the alert line emptied
        bool clearEntry = true;       // the four digits emptied
        bool finished = false;        // back to the on/off panels
        bool unlocked = false;        // the right passcode at the door
    };

    explicit PasscodeFlow(Storage storage);

    QString viewType() const { return viewType_; }
    void setViewType(const QString& type) { viewType_ = type; }
    QString tempPasscode() const { return tempPasscode_; }

    // The digits as typed, of any script; they are judged and kept as ASCII.
    Step passcodeEntered(const QString& typed);

private:
    Storage storage_;
    QString viewType_;
    QString tempPasscode_;
};

} // namespace quillet
