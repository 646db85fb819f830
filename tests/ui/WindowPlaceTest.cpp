// The window's size, place and splits come back at the next launch, and
// settings that hold no saved place leave the window as it starts; the
// editor's scroll comes back in the entry it was in.
#include "TestSupport.h"

#include "core/UserDefaults.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/WindowPlace.h"
#include "ui/journal/LeftSplitView.h"

#include "ui/journal/EditTextView.h"

#include <QCoreApplication>
#include <QScrollBar>
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

TEST(WindowPlace, TheEditorScrollComesBackOnlyForTheEntryItWasIn) {
    const QString file = makeTempDir() + QStringLiteral("/settings.conf");
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("line %1").arg(i);
    const auto shown = [&](MainWindow& window) {
        window.resize(900, 600);
        window.show();
        window.editTextView->setPlainText(lines.join(QLatin1Char('\n')));
        QCoreApplication::processEvents();
    };
    {
        MainWindow window{Utility::sharedUtility()};
        shown(window);
        window.editTextView->verticalScrollBar()->setValue(250);
        UserDefaults defaults(file);
        WindowPlace::rememberEditorScroll(window, QStringLiteral("A"), defaults);
        ASSERT_TRUE(defaults.synchronize());
    }
    for (const auto& [entry, line] : {std::pair{"B", 0}, std::pair{"", 0}, std::pair{"A", 250}}) {
        MainWindow window{Utility::sharedUtility()};
        shown(window);
        WindowPlace::restoreEditorScroll(window, QLatin1String(entry), UserDefaults(file));
        EXPECT_EQ(window.editTextView->verticalScrollBar()->value(), line) << entry;
    }
}

} // namespace
} // namespace quillet::test
