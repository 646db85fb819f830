#include "DiaryHome.h"
#include "PasscodeTestSupport.h"

#include "diary/Utility.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/passcode/PasscodeView.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QVBoxLayout>
#include <tuple>

using namespace quillet;
using namespace quillet::test;

namespace {

Utility* utility() {
    return Utility::sharedUtility();
}

void storeLockedPasscode(const QString& passcode) {
    utility()->setPasscode(passcode);
    utility()->setIsPasscodeLocked(true);
}

QString alertShown(const PasscodeView& view) {
    return view.alertText()->isHidden() ? QString() : view.alertText()->text();
}

} // namespace

// The steps of each flow are PasscodeFlow's (PasscodeFlowTest); the pane only
// has to start them from its buttons and show each step.
TEST(PasscodeView, ThePaneButtonsStartTheFlowsAndShowEachStep) {
    ScopedDiaryHome home;
    LogCapture log;
    PasscodeValidCounter valid;
    PasscodeView view(Utility::sharedUtility(), nullptr, PasscodeView::Role::SettingsPane);
    view.prepareUI();
    // Which of the on, off and entry panels is shown.
    const auto panels = [&view] {
        return std::tuple(!view.onPanel()->isHidden(), !view.offPanel()->isHidden(),
                          !view.enterPanel()->isHidden());
    };
    EXPECT_EQ(panels(), std::tuple(true, false, false));

    view.turnOnButton()->click();
    EXPECT_EQ(view.viewType(), "Set");
    EXPECT_EQ(view.statusText()->text(), "Enter your new Passcode");
    EXPECT_EQ(panels(), std::tuple(false, false, true));
    typeDigits(&view, QStringLiteral("1234"));
    EXPECT_EQ(view.statusText()->text(), "Re-enter your passcode");
    EXPECT_EQ(view.pinEntered(), "");
    typeDigits(&view, QStringLiteral("1234"));
    EXPECT_EQ(utility()->passcode(), "1234");
    EXPECT_TRUE(utility()->isPasscodeLocked());
    EXPECT_EQ(panels(), std::tuple(false, true, false));

    view.changeButton()->click();
    EXPECT_EQ(view.viewType(), "Change");
    EXPECT_EQ(view.statusText()->text(), "Enter your Passcode");
    typeDigits(&view, QStringLiteral("1234"));
    EXPECT_EQ(view.statusText()->text(), "Enter your new Passcode");
    typeDigits(&view, QStringLiteral("13571357"));
    EXPECT_EQ(utility()->passcode(), "1357");
    EXPECT_EQ(panels(), std::tuple(false, true, false));

    view.turnOffButton()->click();
    EXPECT_EQ(view.viewType(), "Off");
    EXPECT_EQ(view.statusText()->text(), "Enter your Passcode");
    typeDigits(&view, QStringLiteral("1357"));
    EXPECT_FALSE(utility()->isPasscodeLocked());
    EXPECT_EQ(utility()->passcode(), "1357") << "turning off keeps the passcode";
    EXPECT_EQ(panels(), std::tuple(true, false, false));
    EXPECT_EQ(valid.count, 0) << "only the lock screen unlocks";
    for (const QString& line : log.lines()) {
        EXPECT_FALSE(line.contains(QStringLiteral("1234")) || line.contains(QStringLiteral("1357")))
            << line.toStdString();
    }
}

TEST(PasscodeView, StartingAFlowKeepsTheAlertAndTheFirstEntry) {
    ScopedDiaryHome home;
    PasscodeView view(Utility::sharedUtility(), nullptr, PasscodeView::Role::SettingsPane);
    view.prepareUI();
    view.turnOnPasscode(nullptr);
    typeDigits(&view, QStringLiteral("1111"));
    typeDigits(&view, QStringLiteral("22"));
    typeKey(&view, Qt::Key_A, QStringLiteral("a"));

    view.turnOnPasscode(nullptr);
    EXPECT_EQ(view.viewType(), "Set");
    EXPECT_EQ(view.statusText()->text(), "Enter your new Passcode");
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(visibleDots(view), 0);
    EXPECT_EQ(alertShown(view), "Number Only");
    EXPECT_EQ(view.tempPasscode(), "1111");

    // Resetting the pane empties the entry and the alert but keeps the title.
    typeDigits(&view, QStringLiteral("12"));
    view.prepareUI();
    EXPECT_EQ(view.viewType(), "");
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(visibleDots(view), 0);
    EXPECT_EQ(alertShown(view), "");
    EXPECT_TRUE(view.enterPanel()->isHidden());
    EXPECT_EQ(view.statusText()->text(), "Enter your new Passcode");
    EXPECT_EQ(view.tempPasscode(), "1111");
    EXPECT_FALSE(utility()->isPasscodeLocked());

    // Hiding empties the entry but keeps the mode, the title and the alert.
    view.turnOnPasscode(nullptr);
    typeDigits(&view, QStringLiteral("9"));
    typeKey(&view, Qt::Key_Q, QStringLiteral("q"));
    view.setVisible(true);
    view.hide();
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(visibleDots(view), 0);
    EXPECT_EQ(view.viewType(), "Set");
    EXPECT_EQ(alertShown(view), "Number Only");

    // Cancel leaves a flow the same way as a reset.
    typeDigits(&view, QStringLiteral("9"));
    view.cancelButton()->click();
    EXPECT_EQ(view.viewType(), "");
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_TRUE(view.enterPanel()->isHidden());
    EXPECT_FALSE(view.onPanel()->isHidden());
}

TEST(PasscodeView, LockScreenPostsPasscodeValidOnceForTheRightEntry) {
    ScopedDiaryHome home;
    storeLockedPasscode(QStringLiteral("2468"));
    PasscodeView view(Utility::sharedUtility());
    EXPECT_EQ(view.role(), PasscodeView::Role::LockScreen);
    EXPECT_EQ(view.onPanel(), nullptr);
    EXPECT_EQ(view.offPanel(), nullptr);
    EXPECT_FALSE(view.enterPanel()->isHidden());
    EXPECT_FALSE(view.lockTitle()->text().isEmpty());
    EXPECT_EQ(view.statusText()->text(), "Enter your Passcode");
    view.setViewType(QStringLiteral("Door"));

    PasscodeValidCounter valid;
    int dotsWhenPosted = -1;
    const int probe = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("PasscodeValid"), nullptr,
        [&](const Notification&) { dotsWhenPosted = visibleDots(view); });

    typeDigits(&view, QStringLiteral("246"));
    EXPECT_TRUE(dotsShownInOrder(view, 3));
    typeDigits(&view, QStringLiteral("9"));
    EXPECT_EQ(valid.count, 0);
    EXPECT_EQ(alertShown(view), "Wrong passcode, try again.");
    EXPECT_EQ(visibleDots(view), 0);
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(view.viewType(), "Door");

    typeDigits(&view, QStringLiteral("2468"));
    NotificationCenter::defaultCenter().removeObserver(probe);
    EXPECT_EQ(valid.count, 1);
    EXPECT_EQ(valid.lastObject, nullptr);
    EXPECT_TRUE(valid.lastUserInfo.isEmpty());
    EXPECT_EQ(dotsWhenPosted, 0) << "the fourth digit hides the dots before the entry is judged";
    EXPECT_EQ(alertShown(view), "");
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(view.viewType(), "Door");
    EXPECT_TRUE(utility()->isPasscodeLocked()) << "unlocking a launch does not turn the lock off";
}

TEST(PasscodeView, DigitsOfOtherScriptsCount) {
    EXPECT_TRUE(PasscodeView::isSingleDigit(QStringLiteral("7")));
    EXPECT_TRUE(PasscodeView::isSingleDigit(QStringLiteral("\uFF11")));         // full-width 1
    EXPECT_TRUE(PasscodeView::isSingleDigit(QStringLiteral("\u0663")));         // Arabic-Indic 3
    EXPECT_TRUE(PasscodeView::isSingleDigit(QStringLiteral("\u096D")));         // Devanagari 7
    EXPECT_TRUE(PasscodeView::isSingleDigit(QString::fromUcs4(U"\U0001D7D9"))); // double-struck 1
    EXPECT_FALSE(PasscodeView::isSingleDigit(QStringLiteral("12")));
    EXPECT_FALSE(PasscodeView::isSingleDigit(QString()));
    EXPECT_FALSE(
        PasscodeView::isSingleDigit(QStringLiteral("\u00BD"))); // one half: a number, no digit
    EXPECT_FALSE(PasscodeView::isSingleDigit(QStringLiteral("\u00B2"))); // superscript two
    EXPECT_FALSE(PasscodeView::isSingleDigit(QStringLiteral("\u2163"))); // Roman numeral four
    EXPECT_FALSE(PasscodeView::isSingleDigit(QString(QChar(0xD835))));   // a lone surrogate

    // Typed digits of any script count as theirs (stored and compared as
    // ASCII: PasscodeStorageFile.DigitsOfEveryScriptAreStoredAndComparedAsAscii).
    ScopedDiaryHome home;
    PasscodeView pane(Utility::sharedUtility(), nullptr, PasscodeView::Role::SettingsPane);
    pane.prepareUI();
    pane.turnOnPasscode(nullptr);
    typeDigits(&pane, QStringLiteral("\uFF11\u06633\uFF14"));
    EXPECT_EQ(pane.tempPasscode(), QStringLiteral("1334"));

    // Digits beyond the Basic Multilingual Plane are one character each.
    const QString one = QString::fromUcs4(U"\U0001D7D9");
    pane.turnOnPasscode(nullptr);
    typeDigits(&pane, one + one + one);
    EXPECT_TRUE(dotsShownInOrder(pane, 3));
    typeKey(&pane, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(pane.pinEntered(), one + one);
    EXPECT_TRUE(dotsShownInOrder(pane, 2));
    typeDigits(&pane, one + one);
    EXPECT_EQ(pane.viewType(), "Reenter");
    EXPECT_EQ(pane.tempPasscode(), QStringLiteral("1111"));
}

// The settings folder replaced by a file: no write can land, as root too
// (no lock flag without its passcode is PasscodeFlow's).
TEST(PasscodeView, ThePaneShowsTheLockOnOnlyWhenItWasStored) {
    ScopedDiaryHome home;
    const QString folder = QFileInfo(utility()->userDefalts()->filePath()).absolutePath();
    const QString aside = folder + QStringLiteral(".aside");
    ASSERT_TRUE(QDir().rename(folder, aside));
    {
        QFile blocker(folder);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    PasscodeView pane(Utility::sharedUtility(), nullptr, PasscodeView::Role::SettingsPane);
    pane.prepareUI();
    pane.turnOnPasscode(nullptr);
    typeDigits(&pane, QStringLiteral("2580"));
    typeDigits(&pane, QStringLiteral("2580"));
    const bool storedAnyway = utility()->isPasscodeLocked();
    const bool shownOn = !pane.offPanel()->isHidden();
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().rename(aside, folder));
    EXPECT_FALSE(storedAnyway);
    EXPECT_FALSE(shownOn) << "\"The passcode lock is on.\" for a lock that was not stored";
    EXPECT_FALSE(pane.onPanel()->isHidden());
    alerts().clear(); // what is reported is PasscodeStorageFile's
}

TEST(PasscodeView, BackspaceAndDeleteRemoveTheLastDigitAndIdleDigitsPileUp) {
    ScopedDiaryHome home;
    PasscodeView view(Utility::sharedUtility());
    view.setViewType(QStringLiteral("Door"));
    typeKey(&view, Qt::Key_X, QStringLiteral("x"));
    ASSERT_EQ(alertShown(view), "Number Only");

    // On an empty entry it only hides the alert.
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(alertShown(view), "");
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(visibleDots(view), 0);

    typeDigits(&view, QStringLiteral("123"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.pinEntered(), "12");
    EXPECT_TRUE(dotsShownInOrder(view, 2));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(view.pinEntered(), "1");
    EXPECT_TRUE(dotsShownInOrder(view, 1));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.pinEntered(), "");
    EXPECT_EQ(visibleDots(view), 0);

    // In the idle mode digits pile up without dots (that nothing is stored or
    // unlocked meanwhile is PasscodeFlow's); deleting back below four shows them.
    view.setViewType(QString());
    typeDigits(&view, QStringLiteral("123456"));
    EXPECT_EQ(view.pinEntered(), "123456");
    EXPECT_EQ(visibleDots(view), 0);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&view, Qt::Key_Backspace);
    }
    EXPECT_EQ(view.pinEntered(), "123");
    EXPECT_TRUE(dotsShownInOrder(view, 3));
}

TEST(PasscodeView, OtherKeysShowNumberOnlyAndKeepTheDigits) {
    ScopedDiaryHome home;
    storeLockedPasscode(QStringLiteral("1234"));
    PasscodeValidCounter valid;
    PasscodeView view(Utility::sharedUtility());
    view.setViewType(QStringLiteral("Door"));
    typeDigits(&view, QStringLiteral("12"));

    const Qt::Key keys[] = {Qt::Key_A,   Qt::Key_Escape,  Qt::Key_Return, Qt::Key_Enter,
                            Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Left,   Qt::Key_Right,
                            Qt::Key_Up,  Qt::Key_Down,    Qt::Key_Space,  Qt::Key_F1};
    for (Qt::Key key : keys) {
        QTest::keyClick(&view, key);
        EXPECT_EQ(alertShown(view), "Number Only") << "key " << int(key);
        EXPECT_EQ(view.pinEntered(), "12") << "key " << int(key);
        EXPECT_TRUE(dotsShownInOrder(view, 2)) << "key " << int(key);
        typeDigits(&view, QStringLiteral("3"));
        EXPECT_EQ(alertShown(view), "");
        QTest::keyClick(&view, Qt::Key_Backspace);
    }
    // A modifier pressed on its own is not a key of the entry.
    QTest::keyClick(&view, Qt::Key_Shift);
    EXPECT_EQ(alertShown(view), "");
    EXPECT_EQ(view.pinEntered(), "12");

    typeDigits(&view, QStringLiteral("34"));
    EXPECT_EQ(valid.count, 1) << "the digits typed around the other keys make the passcode";
}

TEST(PasscodeView, TabStaysInTheViewAndTheViewKeepsTheFocus) {
    ScopedDiaryHome home;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    layout->addWidget(field);
    auto* view = new PasscodeView(Utility::sharedUtility(), &window);
    layout->addWidget(view);
    view->hide();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    field->setFocus();
    view->show();
    EXPECT_TRUE(view->hasFocus()) << "showing takes the keyboard";

    view->setViewType(QStringLiteral("Door"));
    typeDigits(view, QStringLiteral("5"));
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_TRUE(view->hasFocus()) << "Tab does not move the focus away";
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(view->hasFocus());
    EXPECT_EQ(view->pinEntered(), "5");
    EXPECT_EQ(view->alertText()->text(), "Number Only");

    field->setFocus();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(view->hasFocus()) << "a click takes the keyboard back";

    field->setFocus();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(view, &enter);
    EXPECT_TRUE(view->hasFocus()) << "the pointer entering takes the keyboard back";

    // The pane's buttons never take the keyboard from the entry.
    PasscodeView pane(Utility::sharedUtility(), nullptr, PasscodeView::Role::SettingsPane);
    for (QPushButton* button :
         {pane.turnOnButton(), pane.turnOffButton(), pane.changeButton(), pane.cancelButton()}) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->text().toStdString();
    }
}

TEST(PasscodeView, DotsAreThePlainDotOrARandomThemeIcon) {
    {
        ScopedDiaryHome home(QStringLiteral("Quillet2"));
        PasscodeView view(Utility::sharedUtility());
        EXPECT_EQ(view.dotImageName(), "dot.png");
        typeDigits(&view, QStringLiteral("1"));
        for (QLabel* dot : {view.dot1(), view.dot2(), view.dot3(), view.dot4()}) {
            EXPECT_EQ(dot->pixmap().size(), QSize(16, 16));
        }
    }
    {
        ScopedDiaryHome home(QStringLiteral("Wrenfold"));
        PasscodeView view(Utility::sharedUtility());
        QSet<QString> names;
        for (int i = 0; i < 300; ++i) {
            names.insert(view.dotImageName());
        }
        const QSet<QString> icons = {"eco_icon_0.png", "eco_icon_1.png", "eco_icon_2.png",
                                     "eco_icon_3.png", "eco_icon_4.png", "eco_icon_5.png"};
        EXPECT_TRUE(icons.contains(names)) << "only the six theme icons";
        EXPECT_GE(names.size(), 4) << "each draw is its own";
        for (const QString& name : icons) {
            EXPECT_FALSE(ImageLibrary::imageNamed(name).isNull()) << name.toStdString();
        }
        // Every key event draws the four dots again, also a rejected key.
        typeKey(&view, Qt::Key_Z, QStringLiteral("z"));
        for (QLabel* dot : {view.dot1(), view.dot2(), view.dot3(), view.dot4()}) {
            EXPECT_EQ(dot->pixmap().size(), QSize(25, 25));
        }
    }
}
