// What the main window runs only once its first screen is painted.
#include "ui/MainWindow.h"
#include "diary/Utility.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace quillet {
namespace {

TEST(MainWindow, WorkDeferredToTheFirstPaintRunsOnceAfterItInOrder) {
    MainWindow window{Utility::sharedUtility()};
    std::vector<int> ran;
    window.afterFirstPaint([&] { ran.push_back(1); });
    window.afterFirstPaint([&] {
        ran.push_back(2);
        // Asked for from a step: runs on a later turn, not lost.
        window.afterFirstPaint([&] { ran.push_back(4); });
    });
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran.empty()) << "not shown, not painted";

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.size() == 3; }, 2000));
    EXPECT_TRUE(window.hasPainted());
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 4}));

    // Painted already: queued, so it never runs inside the caller.
    window.afterFirstPaint([&] { ran.push_back(5); });
    EXPECT_EQ(ran.size(), 3u);
    window.update();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 4, 5}))
        << "each step once, later paints run nothing again";
}

} // namespace
} // namespace quillet
