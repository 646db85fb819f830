// What the window builds before its first paint, and what waits until after it
// or until it is needed.
#include "AppTestSupport.h"

#include "app/AppDelegate.h"
#include "ui/MainWindow.h"
#include "ui/journal/EntryRowDelegate.h"
#include "ui/journal/EntryTableView.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(FirstScreen, TheListIsReadyBeforeTheWindowShowsAndTheRestWaitsForThePaint) {
    test::ScopedDiaryHome home;
    AppDelegate d;
    d.loadInterface();
    // Showing the window lays the list out: with the stock delegate and
    // rows of their own heights that would read and measure every entry.
    EXPECT_NE(qobject_cast<EntryRowDelegate*>(d.entryTableView()->itemDelegate()), nullptr);
    EXPECT_TRUE(d.entryTableView()->uniformItemSizes());
    EXPECT_FALSE(d.hasSettingWindow());
    EXPECT_FALSE(d.window()->hasPopovers());

    d.window()->show();
    d.applicationDidFinishLaunching();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.window()->hasPainted(); }, 2000));
    EXPECT_FALSE(d.searchField()->isClearButtonEnabled()) << "not needed until a search";
    d.searchField()->setText(QStringLiteral("x"));
    EXPECT_TRUE(d.searchField()->isClearButtonEnabled());
    EXPECT_FALSE(d.hasSettingWindow()) << "built only when opened";
    EXPECT_FALSE(d.window()->hasPopovers());
}

} // namespace
} // namespace quillet
