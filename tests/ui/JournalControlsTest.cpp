#include "ui/journal/JournalControls.h"
#include "BoundJournal.h"
#include "Entries.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/MonthSelectView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The journal controls bound to a diary in memory, on 15 March 2012 in Berlin.
class JournalControlsTest : public ::testing::Test {
protected:
    JournalControlsTest() { QCoreApplication::processEvents(); }

    ManagedObject* add(const QDateTime& when, const QString& text, int color = 0) {
        return test::addEntry(context, when, text, color);
    }
    QLabel* emptyListHint() {
        return window.entryTableView->viewport()->findChild<QLabel*>(
            QStringLiteral("emptyListHint"));
    }

    test::ScopedTimeZone tz{"Europe/Berlin"};
    test::ScopedNow now{QDateTime(QDate(2012, 3, 15), QTime(10, 0))};
    ManagedObjectContext context;
    test::BoundJournal bound{&context};
    MainWindow& window = bound.window;
    ArrayController& list = bound.list;
    JournalFilter& filter = bound.filter;
    JournalControls& controls = bound.controls;
};

TEST_F(JournalControlsTest, ControlsShowAndChangeTheSelection) {
    MainWindow* w = &window;
    EXPECT_EQ(w->yearPopUp->count(), QDate::currentDate().year() + 1 - 1990 + 1);
    EXPECT_EQ(w->yearPopUp->itemText(0), QStringLiteral("1990"));
    EXPECT_EQ(w->yearPopUp->currentText(), QStringLiteral("2012"));
    EXPECT_EQ(w->monthSelectView->model()->rowCount(), 12);
    EXPECT_EQ(w->monthSelectView->currentIndex().row(), 2);
    EXPECT_EQ(w->colorTagSelectView->count(), 6);
    EXPECT_EQ(w->colorTagSelectView->currentRow(), 0) << "no color filter shows as the first tag";

    w->colorTagSelectView->setCurrentRow(4);
    EXPECT_EQ(filter.colorFilter(), 4);
    w->colorTagSelectView->setCurrentRow(0);
    EXPECT_EQ(filter.colorFilter(), 0);
    w->monthSelectView->setCurrentIndex(w->monthSelectView->model()->index(9, 0));
    EXPECT_EQ(filter.currentMonth().month, 10);
    w->yearPopUp->setCurrentIndex(0);
    emit w->yearPopUp->activated(0);
    EXPECT_EQ(filter.currentMonth().year, 1990);
    filter.nextYear(nullptr);
    EXPECT_EQ(w->yearPopUp->currentText(), QStringLiteral("1991"));
}

TEST_F(JournalControlsTest, TheEditorFollowsTheSelectionAndHandsItsTextToTheEntry) {
    ASSERT_NE(emptyListHint(), nullptr);
    EXPECT_TRUE(emptyListHint()->isVisibleTo(window.entryTableView->viewport()));
    EXPECT_TRUE(emptyListHint()->text().startsWith(QStringLiteral("No entries in March 2012.")));
    EXPECT_EQ(window.editTextView->placeholderText(),
              QStringLiteral("Type here to begin a new entry."));

    ManagedObject* older = add(QDateTime(QDate(2012, 3, 1), QTime(9, 0)), QStringLiteral("older"));
    ManagedObject* newer = add(QDateTime(QDate(2012, 3, 9), QTime(9, 0)), QStringLiteral("newer"));
    QCoreApplication::processEvents();
    filter.reloadData();
    EXPECT_FALSE(emptyListHint()->isVisibleTo(window.entryTableView->viewport()));
    ASSERT_EQ(list.selectedObject(), newer);
    EXPECT_EQ(window.editTextView->toPlainText(), QStringLiteral("newer"));
    EXPECT_TRUE(window.editTextView->placeholderText().isEmpty());
    EXPECT_EQ(window.entryTableView->currentIndex().row(), 0);

    // Every key reaches the entry at once, wherever it is typed.
    window.editTextView->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.editTextView, QStringLiteral(", edit"));
    QTest::sendKeyEvent(QTest::Click, window.editTextView, Qt::Key_unknown,
                        QStringLiteral("\u00e9"), Qt::NoModifier);
    EXPECT_EQ(newer->entryText(), QStringLiteral("newer, edit\u00e9"));
    window.editTextView->moveCursor(QTextCursor::Start);
    QTest::keyClick(window.editTextView, Qt::Key_Delete);
    QTest::keyClick(window.editTextView, 'N');
    QTest::keyClick(window.editTextView, Qt::Key_Return);
    EXPECT_EQ(newer->entryText(), QStringLiteral("N\newer, edit\u00e9"));

    // Choosing a row in the list shows that row's entry.
    window.entryTableView->setCurrentIndex(list.index(1));
    EXPECT_EQ(list.selectedObject(), older);
    EXPECT_EQ(window.editTextView->toPlainText(), QStringLiteral("older"));

    // A change made elsewhere (an undo, a merge) shows in the editor.
    older->setValue(QStringLiteral("the older"), QStringLiteral("entryText"));
    EXPECT_EQ(window.editTextView->toPlainText(), QStringLiteral("the older"));

    // A search that finds nothing says so, with the text shown as typed.
    window.searchField->setText(QStringLiteral("<b>zebra</b>"));
    EXPECT_TRUE(emptyListHint()->isVisibleTo(window.entryTableView->viewport()));
    EXPECT_EQ(emptyListHint()->text(),
              QStringLiteral("No entry contains \u201c<b>zebra</b>\u201d."));
    EXPECT_EQ(emptyListHint()->textFormat(), Qt::PlainText);
}

TEST_F(JournalControlsTest, ABlobOfOneLineIsShownInShortBlocksAndKeptExactly) {
    // A megabyte without a space or a break, then a short line: laid out as
    // one block it would hold the window for minutes, and each key as long.
    QString blob(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < blob.size(); ++i) {
        blob[i] = QChar(char16_t(u'a' + (i * 7) % 26));
    }
    blob[300000] = QChar(0x00e9); // an accent, a surrogate pair and a no-break space on the way
    blob[300001] = QChar(0xd83d);
    blob[300002] = QChar(0xde00);
    blob[300003] = QChar::Nbsp;
    const QString text = blob + QStringLiteral("\nafter");
    ManagedObject* entry = add(QDateTime(QDate(2012, 3, 9), QTime(9, 0)), text);
    QCoreApplication::processEvents();
    filter.reloadData();
    ASSERT_EQ(list.selectedObject(), entry);
    EditTextView* editor = window.editTextView;
    const QTextDocument* doc = editor->document();
    int longest = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        longest = std::max(longest, b.length());
    }
    EXPECT_LE(longest, 8192);

    // Typed at both ends and handed over: the text as it was, with the keys.
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClick(editor, Qt::Key_X);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Y);
    controls.endEditing();
    EXPECT_TRUE(entry->entryText() == QStringLiteral("x") + text + QStringLiteral("y"));

    // In the middle: a break typed there is a line break, and the break
    // between two short blocks is no character (Backspace takes the one
    // before it); copied, the text comes out as it is.
    QTextCursor cursor(editor->document());
    cursor.setPosition(doc->findBlock(20000).position(), QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->copy();
    const qsizetype before = QApplication::clipboard()->text().size();
    ASSERT_GT(before, 0);
    ASSERT_LT(before, doc->findBlock(20000).position()) << "a break between short blocks";
    cursor.clearSelection();
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    controls.endEditing();
    QString expected = QStringLiteral("x") + text + QStringLiteral("y");
    expected.replace(before - 1, 1, QStringLiteral("\n"));
    EXPECT_TRUE(entry->entryText() == expected);
    editor->selectAll();
    editor->copy();
    EXPECT_TRUE(QApplication::clipboard()->text() == expected);

    // A blob pasted is held the same way.
    editor->selectAll();
    editor->paste();
    longest = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        longest = std::max(longest, b.length());
    }
    EXPECT_LE(longest, 8192);
    controls.endEditing();
    EXPECT_TRUE(entry->entryText() == expected);
}

TEST_F(JournalControlsTest, AnEmptyListNamesTheColorThatNarrowsIt) {
    add(QDateTime(QDate(2012, 3, 1), QTime(9, 0)), QStringLiteral("red one"), 1);
    QCoreApplication::processEvents();
    filter.setColorTagSelectionIndexs(IndexSet{4});
    ASSERT_EQ(list.count(), 0u);
    EXPECT_EQ(emptyListHint()->text(), QStringLiteral("No green entries in March 2012."))
        << "March has an entry, just not a green one";
    window.searchField->setText(QStringLiteral("one"));
    EXPECT_EQ(emptyListHint()->text(), QStringLiteral("No green entry contains \u201cone\u201d."));
    filter.setColorTagSelectionIndexs(IndexSet{1});
    EXPECT_FALSE(emptyListHint()->isVisibleTo(window.entryTableView->viewport()));
}

} // namespace
} // namespace quillet
