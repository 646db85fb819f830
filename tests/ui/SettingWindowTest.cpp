// The settings window on its own: its toolbar, its panes and the keys that close it.
#include "DiaryHome.h"
#include "PasscodeTestSupport.h"

#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "ui/passcode/PasscodeView.h"
#include "ui/settings/CloudSettingView.h"
#include "ui/settings/MigrateSettingView.h"
#include "ui/settings/SettingWindowController.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

// The passcode pane in the middle of setting a passcode with an alert, and
// both migration lines written.
void dirtyPanes(SettingWindowController& w) {
    PasscodeView* pane = w.passcodeView();
    pane->turnOnPasscode(nullptr);
    typeDigits(pane, QStringLiteral("12"));
    typeKey(pane, Qt::Key_A, QStringLiteral("a"));
    w.migrateSettingView()->setMigrateLabelText(QStringLiteral("Done Successfully"));
    w.migrateSettingView()->setDuplicatePercentage(42);
}

void expectPanesReset(SettingWindowController& w) {
    PasscodeView* pane = w.passcodeView();
    EXPECT_EQ(pane->viewType(), "");
    EXPECT_EQ(pane->pinEntered(), "");
    EXPECT_TRUE(pane->alertText()->isHidden());
    EXPECT_TRUE(pane->enterPanel()->isHidden());
    const bool locked = Utility::sharedUtility()->isPasscodeLocked();
    EXPECT_EQ(pane->onPanel()->isHidden(), locked);
    EXPECT_EQ(pane->offPanel()->isHidden(), !locked);
    EXPECT_EQ(w.migrateSettingView()->migrateStatusLabel()->text(), "");
    EXPECT_EQ(w.migrateSettingView()->duplicateStatusLabel()->text(), "");
}

TEST(SettingWindow, ToolbarItemsMatchThePanes) {
    ScopedDiaryHome home;
    SettingWindowController w(Utility::sharedUtility(), OldDataImporter::sharedImporter());
    ASSERT_EQ(w.tabView()->count(), 3);
    const QList<QAction*> items = w.toolbarItems();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(w.tabView()->widget(0), w.passcodeView());
    EXPECT_EQ(w.tabView()->widget(1), w.cloudSettingView());
    EXPECT_EQ(w.tabView()->widget(2), w.migrateSettingView());
    const QStringList identifiers = {"Passcode", "Cloud", "Migration"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->property("tag").toInt(), i);
        EXPECT_EQ(items[i]->property("identifier").toString(), identifiers[i]);
        EXPECT_EQ(w.tabView()->widget(i)->property("identifier").toString(), identifiers[i]);
        EXPECT_TRUE(items[i]->isCheckable());
        EXPECT_FALSE(items[i]->icon().isNull());
        EXPECT_TRUE(w.toolBar()->actions().contains(items[i]));
    }
    EXPECT_EQ(w.passcodeView()->role(), PasscodeView::Role::SettingsPane);
    // The toolbar shows the pane the tab view shows.
    EXPECT_EQ(w.selectedItemIdentifier(), "Passcode");
    w.tabView()->setCurrentIndex(2);
    w.awakeFromNib();
    EXPECT_EQ(w.selectedItemIdentifier(), "Migration");
}

// Each switch resets the panes, also a click on the item already shown,
// and the checked button (drawn apart by the theme) is the open pane's.
TEST(SettingWindow, EverySwitchResetsThePanesAndMarksTheOpenOne) {
    ScopedDiaryHome home;
    SettingWindowController w(Utility::sharedUtility(), OldDataImporter::sharedImporter());
    const QList<QAction*> items = w.toolbarItems();
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("settingToolBar"));
    ASSERT_NE(bar, nullptr);
    for (const int shown : {2, 2, 0}) {
        SCOPED_TRACE(shown);
        dirtyPanes(w);
        ASSERT_EQ(w.passcodeView()->pinEntered(), "12");
        items[shown]->trigger();
        expectPanesReset(w);
        EXPECT_EQ(w.tabView()->currentIndex(), shown);
        EXPECT_EQ(w.selectedItemIdentifier(), items[shown]->property("identifier").toString());
        for (QAction* item : items) {
            EXPECT_EQ(item->isChecked(), item == items[shown]) << item->text().toStdString();
        }
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(items[shown]));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isChecked());
    }

    // A sender with no pane behind its tag resets and leaves the pane as it is.
    dirtyPanes(w);
    QObject stray;
    stray.setProperty("tag", 7);
    w.switchTab(&stray);
    expectPanesReset(w);
    EXPECT_EQ(w.tabView()->currentIndex(), 0);
    w.switchTab(nullptr);
    EXPECT_EQ(w.tabView()->currentIndex(), 0);
}

TEST(SettingWindow, BecomingKeyResetsThePanes) {
    ScopedDiaryHome home;
    Utility::sharedUtility()->setPasscode(QStringLiteral("2468"));
    Utility::sharedUtility()->setIsPasscodeLocked(true);
    SettingWindowController w(Utility::sharedUtility(), OldDataImporter::sharedImporter());
    dirtyPanes(w);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    expectPanesReset(w);
    EXPECT_FALSE(w.passcodeView()->offPanel()->isHidden())
        << "the pane shows the lock as it is now";

    // Opening the window makes it key: an import's last status is gone.
    dirtyPanes(w);
    w.showWindow(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    expectPanesReset(w);
    EXPECT_TRUE(w.passcodeView()->hasFocus());
    w.performClose(nullptr);
    EXPECT_FALSE(w.isVisible());
}

TEST(SettingWindow, EscapeAndTheCloseKeyCloseTheWindow) {
    ScopedDiaryHome home;
    SettingWindowController window(Utility::sharedUtility(), OldDataImporter::sharedImporter());
    for (const QKeyCombination keys :
         {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL | Qt::Key_W)}) {
        window.showWindow(nullptr);
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_TRUE(window.isVisible());
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == nullptr || focus->window() == &window)
            << (focus ? focus->metaObject()->className() : "");
        QTest::keyClick(focus ? focus : &window, keys.key(), keys.keyboardModifiers());
        EXPECT_FALSE(window.isVisible()) << QKeySequence(keys).toString().toStdString();
    }
}

} // namespace
} // namespace quillet::test
