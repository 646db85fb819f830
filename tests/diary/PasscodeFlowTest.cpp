#include "diary/passcode/PasscodeFlow.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The passcode and lock flag kept in memory, with every write in order.
// With writable false every write fails and stores nothing, as on a
// settings file that can't be written.
struct Kept {
    // A passcode stored already turns the lock on.
    explicit Kept(const QString& stored = QString())
        : passcode(stored), locked(!stored.isEmpty()) {}
    QString passcode;
    bool locked;
    bool writable = true;
    QStringList writes;
    PasscodeFlow::Storage storage() {
        return {[this](const QString& candidate) {
                    return !passcode.isEmpty() && candidate == passcode;
                },
                [this](const QString& p) {
                    writes << QStringLiteral("passcode");
                    if (writable) {
                        passcode = p;
                    }
                    return writable;
                },
                [this](bool on) {
                    writes << QStringLiteral("locked=%1").arg(on);
                    if (writable) {
                        locked = on;
                    }
                    return writable;
                }};
    }
};

TEST(PasscodeFlow, TurningTheLockOnTakesTheSameDigitsTwiceAndStoresThePasscodeFirst) {
    Kept kept;
    PasscodeFlow flow(kept.storage());
    flow.setViewType(PasscodeFlow::kSet);
    PasscodeFlow::Step step = flow.passcodeEntered(QStringLiteral("1234"));
    EXPECT_EQ(step.title, PasscodeFlow::kReenterPasscode);
    EXPECT_EQ(flow.viewType(), PasscodeFlow::kReenter);
    EXPECT_TRUE(kept.writes.isEmpty()) << "nothing is stored before the second entry";

    step = flow.passcodeEntered(QStringLiteral("1243"));
    EXPECT_EQ(step.alert, PasscodeFlow::kDidNotMatch);
    EXPECT_TRUE(step.clearEntry);
    EXPECT_FALSE(step.finished);
    EXPECT_EQ(flow.viewType(), PasscodeFlow::kReenter) << "a mismatch asks again";

    step = flow.passcodeEntered(QStringLiteral("1234"));
    EXPECT_TRUE(step.finished);
    EXPECT_TRUE(step.clearAlert);
    EXPECT_TRUE(flow.viewType().isEmpty());
    EXPECT_EQ(kept.writes, (QStringList{QStringLiteral("passcode"), QStringLiteral("locked=1")}));
    EXPECT_EQ(kept.passcode, QStringLiteral("1234"));
}

TEST(PasscodeFlow, TheDoorOpensOnlyForTheStoredPasscode) {
    Kept kept(QStringLiteral("0815"));
    PasscodeFlow flow(kept.storage());
    flow.setViewType(PasscodeFlow::kDoor);
    PasscodeFlow::Step step = flow.passcodeEntered(QStringLiteral("0816"));
    EXPECT_FALSE(step.unlocked);
    EXPECT_EQ(step.alert, PasscodeFlow::kWrongPasscode);
    EXPECT_TRUE(step.clearEntry);
    step = flow.passcodeEntered(QStringLiteral("0815"));
    EXPECT_TRUE(step.unlocked);
    EXPECT_FALSE(step.alert.has_value());
    EXPECT_TRUE(kept.writes.isEmpty()) << "opening the door writes nothing";
}

TEST(PasscodeFlow, OffAndChangeAskForTheOldPasscodeFirst) {
    Kept kept(QStringLiteral("1111"));
    PasscodeFlow flow(kept.storage());

    flow.setViewType(PasscodeFlow::kOff);
    EXPECT_EQ(flow.passcodeEntered(QStringLiteral("2222")).alert, PasscodeFlow::kDidNotMatch);
    EXPECT_TRUE(kept.locked);
    EXPECT_TRUE(flow.passcodeEntered(QStringLiteral("1111")).finished);
    EXPECT_FALSE(kept.locked);
    EXPECT_EQ(kept.passcode, QStringLiteral("1111")) << "turning off keeps the passcode";

    flow.setViewType(PasscodeFlow::kChange);
    EXPECT_EQ(flow.passcodeEntered(QStringLiteral("9999")).alert, PasscodeFlow::kDidNotMatch);
    EXPECT_EQ(flow.viewType(), PasscodeFlow::kChange);
    const PasscodeFlow::Step step = flow.passcodeEntered(QStringLiteral("1111"));
    EXPECT_EQ(step.title, PasscodeFlow::kEnterNewPasscode);
    EXPECT_EQ(flow.viewType(), PasscodeFlow::kSet);
    flow.passcodeEntered(QStringLiteral("4321"));
    EXPECT_TRUE(flow.passcodeEntered(QStringLiteral("4321")).finished);
    EXPECT_EQ(kept.passcode, QStringLiteral("4321"));
    EXPECT_TRUE(kept.locked);
}

TEST(PasscodeFlow, APasscodeThatCouldNotBeStoredTurnsNoLockOn) {
    Kept kept;
    kept.writable = false;
    PasscodeFlow flow(kept.storage());
    flow.setViewType(PasscodeFlow::kSet);
    flow.passcodeEntered(QStringLiteral("1234"));
    const PasscodeFlow::Step step = flow.passcodeEntered(QStringLiteral("1234"));
    EXPECT_TRUE(step.finished) << "back to the panels, which show the lock as stored";
    EXPECT_EQ(kept.writes, QStringList{QStringLiteral("passcode")})
        << "no lock flag without the passcode that opens it";
    EXPECT_FALSE(kept.locked);
}

TEST(PasscodeFlow, IdleOrUnknownModesKeepTheDigitsAndChangeNothing) {
    Kept kept;
    PasscodeFlow flow(kept.storage());
    for (const QString& mode : {QString(), QStringLiteral("door"), QStringLiteral("Nonsense")}) {
        flow.setViewType(mode);
        const PasscodeFlow::Step step = flow.passcodeEntered(QStringLiteral("1234"));
        EXPECT_FALSE(step.clearEntry) << mode.toStdString();
        EXPECT_FALSE(step.finished || step.unlocked || step.alert || step.title)
            << mode.toStdString();
        EXPECT_EQ(flow.viewType(), mode);
    }
    EXPECT_TRUE(kept.writes.isEmpty());
}

} // namespace
} // namespace quillet
