#include "ui/HelpWindows.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(HelpWindows, TheShortcutListComesFromTheMenusAndNamesTheFieldKeys) {
    MainWindow window{Utility::sharedUtility()};
    const QStringList lines =
        HelpWindows::shortcutList(window.menuActions()).split(QLatin1Char('\n'));
    const auto keysOf = [&lines](const QString& command) {
        for (const QString& line : lines) {
            if (line.startsWith(command + QLatin1Char('\t'))) {
                return line.section(QLatin1Char('\t'), 1);
            }
        }
        return QString();
    };
    EXPECT_EQ(keysOf(QStringLiteral("Export to Text")),
              QKeySequence(Qt::CTRL | Qt::Key_E).toString(QKeySequence::NativeText));
    EXPECT_EQ(keysOf(QStringLiteral("Trash Entry")),
              window.trashAction->shortcut().toString(QKeySequence::NativeText));
    EXPECT_EQ(keysOf(QStringLiteral("Today")),
              window.todayAction->shortcut().toString(QKeySequence::NativeText));
    EXPECT_FALSE(keysOf(QStringLiteral("Delete the word before the cursor")).isEmpty());
    // No two commands share a key.
    QStringList seen;
    for (QAction* action : window.menuActions()) {
        for (const QKeySequence& keys : action->shortcuts()) {
            const QString text = keys.toString();
            EXPECT_FALSE(seen.contains(text)) << text.toStdString();
            seen << text;
        }
    }
}

TEST(HelpWindows, AboutNamesTheDiaryItsBackupsAndTheCloudContainer) {
    const QString text = HelpWindows::aboutText(
        {QStringLiteral("Wrenfold"), QStringLiteral("2.0"),
         QStringLiteral("/home/a/.local/share/Wrenfold"),
         QStringLiteral("/home/a/Sync/QuilletCloud/7QW2E9R4T1.org.quillet.diary"),
         QStringLiteral("https://example.org/quillet")});
    EXPECT_TRUE(text.startsWith(QStringLiteral("Wrenfold 2.0\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("License: ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Website: https://example.org/quillet\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Authors: ")));
    EXPECT_TRUE(text.contains(QStringLiteral("/home/a/.local/share/Wrenfold/entries.sqlite")));
    EXPECT_TRUE(text.contains(QStringLiteral("entries.sqlite.bak")));
    EXPECT_TRUE(text.contains(QStringLiteral("/home/a/.local/share/Wrenfold/backups/")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("Cloud container: /home/a/Sync/QuilletCloud/7QW2E9R4T1.org.quillet.diary")));
    EXPECT_FALSE(HelpWindows::aboutText({QStringLiteral("Quillet"), QStringLiteral("2.0"),
                                         QString(), QString(), QString()})
                     .contains(QStringLiteral("Cloud container")));
}

TEST(HelpWindows, TheEditMenuActsOnTheFocusedField) {
    MainWindow window{Utility::sharedUtility()};
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.searchField->setFocus();
    window.searchField->setText(QStringLiteral("walk"));
    window.selectAllAction->trigger();
    EXPECT_EQ(window.searchField->selectedText(), QStringLiteral("walk"));
    window.cutAction->trigger();
    EXPECT_TRUE(window.searchField->text().isEmpty());
    window.pasteAction->trigger();
    EXPECT_EQ(window.searchField->text(), QStringLiteral("walk"));
    window.hide();
}

} // namespace
} // namespace quillet
