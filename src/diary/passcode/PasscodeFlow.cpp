#include "diary/passcode/PasscodeFlow.h"

#include "diary/PasscodeStorage.h"
#include "diary/Utility.h"

#include <QCoreApplication>

namespace quillet {

const QString PasscodeFlow::kDoor = QStringLiteral("Door");
const QString PasscodeFlow::kSet = QStringLiteral("Set");
const QString PasscodeFlow::kReenter = QStringLiteral("Reenter");
const QString PasscodeFlow::kOff = QStringLiteral("Off");
const QString PasscodeFlow::kChange = QStringLiteral("Change");

const QString PasscodeFlow::kEnterPasscode =
    QStringLiteral(QT_TRANSLATE_NOOP("PasscodeFlow", "Enter your Passcode"));
const QString PasscodeFlow::kEnterNewPasscode =
    QStringLiteral(QT_TRANSLATE_NOOP("PasscodeFlow", "Enter your new Passcode"));
const QString PasscodeFlow::kReenterPasscode =
    QStringLiteral(QT_TRANSLATE_NOOP("PasscodeFlow", "Re-enter your passcode"));
const QString PasscodeFlow::kWrongPasscode =
    QStringLiteral(QT_TRANSLATE_NOOP("PasscodeFlow", "Wrong passcode, try again."));
const QString PasscodeFlow::kDidNotMatch =
    QStringLiteral(QT_TRANSLATE_NOOP("PasscodeFlow", "Passcode did not match, try again."));

PasscodeFlow::Storage PasscodeFlow::Storage::of(Utility* utility) {
    return Storage{
        [utility](const QString& candidate) { return utility->isPasscodeValid(candidate); },
        [utility](const QString& passcode) { return utility->setPasscode(passcode); },
        [utility](bool locked) { return utility->setIsPasscodeLocked(locked); }};
}

PasscodeFlow::PasscodeFlow(Storage storage) : storage_(std::move(storage)) {}

PasscodeFlow::Step PasscodeFlow::passcodeEntered(const QString& typed) {
    // The same digits on another keyboard layout are the same passcode.
    const QString entry = PasscodeStorage::foldDigits(typed);
    Step step;
    if (viewType_ == kDoor) {
        step.clearAlert = true;
        if (storage_.isPasscodeValid(entry)) {
            step.unlocked = true;
        } else {
            step.alert = kWrongPasscode;
        }
    } else if (viewType_ == kOff) {
        if (!storage_.isPasscodeValid(entry)) {
            step.alert = kDidNotMatch;
            return step;
        }
        storage_.setIsPasscodeLocked(false);
        step.clearAlert = true;
        step.finished = true;
        viewType_.clear();
    } else if (viewType_ == kSet) {
        tempPasscode_ = entry;
        step.title = kReenterPasscode;
        viewType_ = kReenter;
    } else if (viewType_ == kReenter) {
        if (entry != tempPasscode_) {
            step.alert = kDidNotMatch;
            return step;
        }
        // The passcode first: a lock flag that lands without its passcode
        // (a crash between the two writes) would shut the user out for good.
        // When a write fails the panels show the lock as it was stored.
        if (storage_.setPasscode(entry)) {
            storage_.setIsPasscodeLocked(true);
        }
        step.clearAlert = true;
        step.finished = true;
        viewType_.clear();
    } else if (viewType_ == kChange) {
        if (!storage_.isPasscodeValid(entry)) {
            step.alert = kDidNotMatch;
            return step;
        }
        step.clearAlert = true;
        step.title = kEnterNewPasscode;
        viewType_ = kSet;
    } else {
        // Idle or unknown mode: the digits stay and keep accumulating.
        step.clearEntry = false;
    }
    return step;
}

} // namespace quillet
