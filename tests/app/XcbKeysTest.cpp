// The menu's keys against the text fields' own editing keys, with the key
// bindings of X11. The offscreen platform has none (Ctrl+E there is no "end
// of line"), so these run only under the xcb platform: ctest starts this
// suite once more under Xvfb for them.
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "diary/export/EntryExporter.h"
#include "diary/export/SystemTextEditorLauncher.h"
#include "diary/export/TextEditorLauncher.h"
#include "diary/import/OldDataImporter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "ui/JournalPopovers.h"
#include "ui/MainWindow.h"
#include "ui/MessageBar.h"
#include "ui/Popover.h"
#include "ui/journal/EditTextView.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace quillet {
namespace {

class XcbKeys : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP()
                << "needs the X11 key bindings of the xcb platform (ctest runs it under Xvfb)";
        }
        d = test::launchDelegate();
        d->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d->window()));
        // Xvfb runs no window manager: the window is given the focus here.
        d->window()->activateWindow();
        QApplication::setActiveWindow(d->window());
        (void)QTest::qWaitForWindowActive(d->window(), 2000);
        ASSERT_EQ(QApplication::activeWindow(), d->window());
        d->insertNewObject(nullptr);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        if (d) {
            d->trashPopover()->performClose(nullptr);
            d->window()->hide();
        }
    }
    // A key as the user presses it: to the focused widget, through the
    // window's shortcut handling.
    void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        widget->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(widget, key, modifiers);
        QCoreApplication::processEvents();
    }

    test::ScopedDiaryHome home;
    std::unique_ptr<AppDelegate> d;
};

// From the editor too: the failures below are reached by Ctrl+E there.
TEST_F(XcbKeys, ExportWorksFromTheSearchFieldAndTheEditor) {
    auto launcher = std::make_unique<test::CountingLauncher>();
    test::CountingLauncher* counting = launcher.get();
    EntryExporter::sharedExporter()->setLauncher(std::move(launcher));

    d->editTextView()->setPlainText(QStringLiteral("a walk in the park"));
    d->searchField()->setText(QStringLiteral("walk"));
    press(d->searchField(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(counting->opened.size(), 1) << "Ctrl+E in the search field exports";
    EntryExporter::sharedExporter()->setLauncher(std::make_unique<SystemTextEditorLauncher>());
}

class FailingLauncher : public TextEditorLauncher {
public:
    bool openFile(const QString&) override { return false; }
};

// Failures that need no answer are said in the message bar, with no box over
// the editor: what is typed right after goes on into the entry.
TEST_F(XcbKeys, FailuresShowInTheMessageBarWhileTypingGoesOn) {
    EditTextView* editor = d->editTextView();
    MessageBar* bar = d->window()->messageBar;
    const QString previewPath = EntryExporter::exportPath();
    sqlite3* lock = nullptr;
    const struct {
        const char* name;
        std::function<void()> fail;
        const char* said;
    } cases[] = {
        {"export cannot be written",
         [&] {
             ASSERT_TRUE(QDir().mkpath(previewPath));
             press(editor, Qt::Key_E, Qt::ControlModifier);
         },
         "could not be written"},
        {"no program opens the export",
         [&] {
             ASSERT_TRUE(QDir(previewPath).removeRecursively());
             EntryExporter::sharedExporter()->setLauncher(std::make_unique<FailingLauncher>());
             press(editor, Qt::Key_E, Qt::ControlModifier);
         },
         "no program could open it"},
        {"the old diary cannot be imported",
         [&] {
             QFile old(OldDataImporter::oldDataPath());
             ASSERT_TRUE(QDir().mkpath(QFileInfo(old).path()));
             ASSERT_TRUE(old.open(QIODevice::WriteOnly));
             old.write(QByteArray(4096, 'x'));
             old.close();
             OldDataImporter::sharedImporter()->asyncImportWithManagedObjectContext(
                 d->managedObjectContext());
         },
         "is tried again at the next launch"},
        {"a save while typing fails",
         [&] {
             // Another connection holds the diary's write lock.
             sqlite3_open(QFile::encodeName(home.storePath()).constData(), &lock);
             sqlite3_exec(lock, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
             EXPECT_FALSE(d->autosave());
         },
         "saved at the next pause"},
    };
    QString typed = editor->toPlainText();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        editor->setFocus(Qt::OtherFocusReason);
        c.fail();
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->text().contains(QLatin1String(c.said)); }))
            << bar->text().toStdString();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), editor);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed on"));
        typed = editor->toPlainText();
        EXPECT_TRUE(typed.endsWith(QLatin1String("typed on")));
    }
    EXPECT_EQ(d->arrayController()->selectedObject()->entryText(), typed);
    // A try that works takes its own line away; the others stay until closed.
    sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(lock);
    EXPECT_TRUE(d->autosave());
    EntryExporter::sharedExporter()->setLauncher(std::make_unique<test::CountingLauncher>());
    press(editor, Qt::Key_E, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->text().contains(QLatin1String("saved at the next pause")));
    EXPECT_FALSE(bar->text().contains(QLatin1String("export")));
    EXPECT_TRUE(bar->text().contains(QLatin1String("old diary")));
    bar->dismiss(nullptr);
    EXPECT_FALSE(bar->isVisible());
    EntryExporter::sharedExporter()->setLauncher(std::make_unique<SystemTextEditorLauncher>());
}

TEST_F(XcbKeys, TextFieldsKeepTheirWordAndDocumentKeys) {
    d->searchField()->setText(QStringLiteral("hello world"));
    d->searchField()->end(false);
    press(d->searchField(), Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(d->searchField()->text(), QStringLiteral("hello "));
    EXPECT_FALSE(d->trashPopover()->isShown())
        << "Ctrl+Backspace deletes a word, it does not trash";

    // Back to the new entry, so that the editor has something to edit.
    d->searchField()->clear();
    QCoreApplication::processEvents();
    EditTextView* editor = d->editTextView();
    ASSERT_FALSE(editor->isReadOnly());
    editor->setPlainText(QStringLiteral("first line\nsecond word"));
    editor->moveCursor(QTextCursor::End);
    press(editor, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("first line\nsecond "));
    EXPECT_FALSE(d->trashPopover()->isShown());

    QSignalSpy today(d->window()->todayAction, &QAction::triggered);
    press(editor, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(editor->textCursor().position(), 0) << "Ctrl+Home goes to the top of the entry";
    EXPECT_EQ(today.count(), 0) << "and is not the Today command";
}

TEST_F(XcbKeys, F3AndShiftF3MoveBetweenTheMarkedMatchesOfTheSearch) {
    EditTextView* editor = d->editTextView();
    editor->insertPlainText(QStringLiteral("Été, ete and the ETE."));
    d->autosave();
    d->searchField()->setText(QStringLiteral("ete"));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(editor->entryText(), QStringLiteral("Été, ete and the ETE."));
    EXPECT_EQ(editor->marks(EditTextView::MarkKind::Search).size(), 3);
    const auto selected = [&] {
        const QTextCursor c = editor->textCursor();
        return std::pair{c.selectionStart(), c.selectedText()};
    };
    editor->moveCursor(QTextCursor::Start);
    press(editor, Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(selected(), std::pair(0, QStringLiteral("Été")));
    press(editor, Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(selected(), std::pair(5, QStringLiteral("ete")));
    press(d->searchField(), Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(selected(), std::pair(17, QStringLiteral("ETE"))) << "also from the search field";
    press(editor, Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(selected(), std::pair(0, QStringLiteral("Été"))) << "wraps at the end";
    press(editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), std::pair(17, QStringLiteral("ETE"))) << "and back at the start";
    press(editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), std::pair(5, QStringLiteral("ete")));
}

TEST_F(XcbKeys, TheEntryCommandsHaveKeysNoTextFieldTakes) {
    EditTextView* editor = d->editTextView();
    const DateComponents month = d->currentMonth();
    d->prevMonth(nullptr);
    ASSERT_NE(d->currentMonth(), month);
    press(editor, Qt::Key_Home, Qt::AltModifier);
    EXPECT_EQ(d->currentMonth(), month) << "Alt+Home: back to today's month";

    d->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    // Undo and redo in the editor are the diary's: the typing up to a pause is one step.
    QTest::keyClicks(editor, QStringLiteral("first"));
    d->autosave();
    QTest::keyClicks(editor, QStringLiteral(" second"));
    press(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("first")) << "Ctrl+Z";
    press(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(d->arrayController()->selectedObject()->entryText(), QStringLiteral("first second"));
    press(editor, Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(d->trashPopover()->isShown()) << "Ctrl+Shift+Backspace asks to trash the entry";
    d->trashPopover()->performClose(nullptr);
    press(d->searchField(), Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(d->trashPopover()->isShown()) << "also from the search field";
    d->trashPopover()->performClose(nullptr);
    press(editor, Qt::Key_F1, Qt::NoModifier);
    auto* guide = d->window()->findChild<QDialog*>(QStringLiteral("guideWindow"));
    ASSERT_NE(guide, nullptr) << "F1 opens the user guide, from the editor too";
    EXPECT_TRUE(guide->findChild<QTextBrowser*>()->toPlainText().contains(
        QStringLiteral("Backups and restoring one")));
    guide->close();
}

} // namespace
} // namespace quillet
