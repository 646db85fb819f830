#include "DiaryHome.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "ui/settings/SettingWindowController.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(SettingWindowKeys, EscapeAndTheCloseKeyCloseTheWindow) {
    test::ScopedDiaryHome home;
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

TEST(SettingWindowKeys, TheToolbarMarksTheOpenPane) {
    test::ScopedDiaryHome home;
    SettingWindowController window(Utility::sharedUtility(), OldDataImporter::sharedImporter());
    const QList<QAction*> items = window.toolbarItems();
    ASSERT_EQ(items.size(), 3);
    items[2]->trigger();
    for (QAction* item : items) {
        EXPECT_EQ(item->isChecked(), item == items[2]) << item->text().toStdString();
    }
    // The checked button is drawn apart from the others by the theme.
    QToolBar* bar = window.findChild<QToolBar*>(QStringLiteral("settingToolBar"));
    ASSERT_NE(bar, nullptr);
    QToolButton* shown = qobject_cast<QToolButton*>(bar->widgetForAction(items[2]));
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isChecked());
}

} // namespace
} // namespace quillet
