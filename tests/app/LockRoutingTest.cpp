#include "AppTestSupport.h"
#include "PasscodeTestSupport.h"

#include "app/AppDelegate.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"
#include "ui/passcode/PasscodeView.h"
#include "ui/settings/SettingWindowController.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QToolBar>

using namespace quillet;
using namespace quillet::test;

namespace {

Utility* utility() {
    return Utility::sharedUtility();
}

void expectLockScreen(AppDelegate& d) {
    EXPECT_FALSE(d.passcodeView()->isHidden());
    EXPECT_TRUE(d.mainView()->isHidden());
    EXPECT_TRUE(d.askIfUseICloudView()->isHidden());
    EXPECT_TRUE(d.cloudDisabledBlockerView()->isHidden());
    EXPECT_EQ(d.passcodeView()->viewType(), "Door");
    EXPECT_TRUE(d.window()->toolbar->isHidden());
    EXPECT_FALSE(d.window()->toolbarToggleAction->isVisible());
    EXPECT_FALSE(d.validateMenuItem());
    for (QAction* action : d.window()->delegateActions()) {
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    }
}

void expectMainView(AppDelegate& d) {
    EXPECT_FALSE(d.mainView()->isHidden());
    EXPECT_TRUE(d.passcodeView()->isHidden());
    EXPECT_FALSE(d.window()->toolbar->isHidden());
    EXPECT_TRUE(d.validateMenuItem());
    for (QAction* action : d.window()->delegateActions()) {
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
}

// Types a passcode into the settings window's pane: set, then confirm.
void setPasscodeInSettings(AppDelegate& d, const QString& passcode) {
    PasscodeView* pane = d.settingWindowController()->passcodeView();
    pane->prepareUI();
    pane->turnOnPasscode(nullptr);
    typeDigits(pane, passcode);
    typeDigits(pane, passcode);
}

} // namespace

TEST(LockRouting, LockedDiaryOpensOnTheLockScreenUntilTheRightPasscode) {
    ScopedDiaryHome home;
    utility()->setPasscode(QStringLiteral("4321"));
    utility()->setIsPasscodeLocked(true);
    std::unique_ptr<AppDelegate> d = launchDelegate();
    d->window()->show();
    d->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d->window()));
    // Every menu command, and so its shortcut, is off while locked (expectLockScreen).
    expectLockScreen(*d);
    EXPECT_TRUE(d->passcodeView()->hasFocus());

    typeDigits(d->passcodeView(), QStringLiteral("1111"));
    EXPECT_FALSE(d->passcodeValidatedOnCurrentSession());
    expectLockScreen(*d);

    // Coming back to the window asks for the passcode again and keeps what was typed.
    typeDigits(d->passcodeView(), QStringLiteral("43"));
    d->windowDidBecomeKey();
    expectLockScreen(*d);
    EXPECT_EQ(d->passcodeView()->pinEntered(), "43");

    typeDigits(d->passcodeView(), QStringLiteral("21"));
    EXPECT_TRUE(d->passcodeValidatedOnCurrentSession());
    expectMainView(*d);
    EXPECT_TRUE(d->editTextView()->hasFocus());
    EXPECT_EQ(d->passcodeView()->pinEntered(), "");

    // Leaving and coming back to the window in the same launch does not ask again.
    d->windowDidBecomeKey();
    expectMainView(*d);
    EXPECT_TRUE(d->editTextView()->hasFocus());
    EXPECT_TRUE(utility()->isPasscodeLocked());
    d->window()->hide();
}

// A passcode left from an earlier lock does not lock by itself: Routing.EveryRowOfTheTable.
TEST(LockRouting, LockTurnedOnInSettingsTakesEffectOnlyBeforeTheFirstUnlock) {
    ScopedDiaryHome home;
    std::unique_ptr<AppDelegate> d = launchDelegate();
    expectMainView(*d);

    setPasscodeInSettings(*d, QStringLiteral("2580"));
    ASSERT_TRUE(utility()->isPasscodeLocked());
    // Nothing changes until the main window routes again.
    expectMainView(*d);
    d->windowDidBecomeKey();
    expectLockScreen(*d);

    PasscodeValidCounter valid;
    typeDigits(d->passcodeView(), QStringLiteral("2580"));
    EXPECT_EQ(valid.count, 1);
    expectMainView(*d);

    // Once unlocked in this launch, a new lock waits for the next launch.
    PasscodeView* pane = d->settingWindowController()->passcodeView();
    pane->prepareUI();
    pane->turnOffPasscode(nullptr);
    typeDigits(pane, QStringLiteral("2580"));
    ASSERT_FALSE(utility()->isPasscodeLocked());
    setPasscodeInSettings(*d, QStringLiteral("1397"));
    ASSERT_TRUE(utility()->isPasscodeLocked());
    d->windowDidBecomeKey();
    expectMainView(*d);
    EXPECT_EQ(valid.count, 1) << "the settings pane never posts the unlock";

    std::unique_ptr<AppDelegate> next = launchDelegate();
    expectLockScreen(*next);
}
