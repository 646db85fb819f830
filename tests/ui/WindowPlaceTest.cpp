// The window's size, place and splits come back at the next launch, and
// settings that hold no saved place leave the window as it starts.
#include "TestSupport.h"

#include "core/UserDefaults.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/WindowPlace.h"
#include "ui/journal/LeftSplitView.h"

#include <QSplitter>
#include <gtest/gtest.h>

namespace quillet::test {
namespace {

TEST(WindowPlace, ComesBackAtTheNextLaunchAndGarbageChangesNothing) {
    const QString file = makeTempDir() + QStringLiteral("/settings.conf");
    QRect placed;
    QByteArray leftSplit;
    {
        MainWindow window{Utility::sharedUtility()};
        window.setGeometry(140, 90, 1100, 720);
        window.leftSplitView->setSizes({0, 600}); // the months folded away
        placed = window.geometry();
        leftSplit = window.leftSplitView->saveState();
        UserDefaults defaults(file);
        WindowPlace::remember(window, defaults);
        ASSERT_TRUE(defaults.synchronize());
    }
    {
        MainWindow window{Utility::sharedUtility()};
        WindowPlace::restore(window, UserDefaults(file));
        EXPECT_EQ(window.geometry(), placed);
        EXPECT_EQ(window.leftSplitView->saveState(), leftSplit);
    }
    UserDefaults garbage(file);
    for (const char* key : {"QuilletWindowGeometry", "QuilletMainSplit", "QuilletLeftSplit"})
        garbage.setObject(QByteArray("\x01\xd9\xd0\xcb not a saved place"), QLatin1String(key));
    MainWindow window{Utility::sharedUtility()};
    const QRect fresh = window.geometry();
    WindowPlace::restore(window, garbage);
    EXPECT_EQ(window.geometry(), fresh);
}

} // namespace
} // namespace quillet::test
