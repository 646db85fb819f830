#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "store/ArrayController.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The menu's shortcuts reach the delegate while the editor has the keyboard.
TEST(MenuShortcuts, WorkFromTheEditor) {
    test::ScopedDiaryHome home;
    auto d = test::launchDelegate();
    d->window()->show();
    QApplication::setActiveWindow(d->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(d->window()));
    d->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), d->editTextView());
    const DateComponents before = d->currentMonth();

    QTest::keyClick(d->editTextView(), Qt::Key_BracketLeft, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(d->currentMonth().month, before.month - 1);

    QTest::keyClick(d->editTextView(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), d->searchField());
    EXPECT_EQ(d->arrayController()->arrangedObjects().size(), 0u);

    QTest::keyClick(d->searchField(), Qt::Key_N, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), d->editTextView());
}

} // namespace
} // namespace quillet
