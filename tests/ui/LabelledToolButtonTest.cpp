#include "ui/LabelledToolButton.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LabelledToolButton, KeepsItsLabelWhenTheActionChanges) {
    QAction action(QStringLiteral("&New Entry"));
    LabelledToolButton button(&action, QStringLiteral("New"));
    EXPECT_EQ(button.text(), QStringLiteral("New"));
    action.setEnabled(false);
    action.setEnabled(true);
    action.setCheckable(true);
    action.setChecked(true);
    EXPECT_EQ(button.text(), QStringLiteral("New"));
    EXPECT_TRUE(button.isEnabled());
    action.setEnabled(false);
    EXPECT_FALSE(button.isEnabled()) << "the button still follows the action's state";
}

TEST(LabelledToolButton, TheWindowsToolbarKeepsItsShortLabelsThroughALock) {
    MainWindow window{Utility::sharedUtility()};
    QStringList before;
    for (QToolButton* button : window.toolbar->findChildren<QToolButton*>()) {
        before << button->text();
    }
    ASSERT_TRUE(before.contains(QStringLiteral("Trash")));
    // What the lock screen does to the menu's actions, and unlocking undoes.
    for (QAction* action : window.delegateActions()) {
        action->setEnabled(false);
    }
    for (QAction* action : window.delegateActions()) {
        action->setEnabled(true);
    }
    QStringList after;
    for (QToolButton* button : window.toolbar->findChildren<QToolButton*>()) {
        after << button->text();
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(window.prevYearButton->text(), QStringLiteral("\u2039"));
}

} // namespace
} // namespace quillet
