#include "DiaryFiles.h"
#include "JournalWindowFixture.h"

#include "store/ArrayController.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/MonthSelectView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>

namespace quillet::test {
namespace {

void pointerEnters(QWidget* pane) {
    const QPointF local(5, 5);
    QEnterEvent enter(local, pane->mapTo(pane->window(), local), pane->mapToGlobal(local));
    QApplication::sendEvent(pane, &enter);
}

QString storedText(const QString& storePath) {
    return rawRows(storePath, "SELECT entryText FROM entry").join(QLatin1Char('|'));
}

TEST_F(JournalWindowTest, ReturnAndEscapeWalkThePanesInOrder) {
    delegate->insertNewObject(nullptr);
    delegate->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    ASSERT_EQ(delegate->arrayController()->arrangedObjects().size(), 2u);

    window->monthSelectView->setFocus();
    QTest::keyClick(window->monthSelectView, Qt::Key_Return);
    EXPECT_TRUE(window->entryTableView->hasFocus());

    // Keys other than Return and Escape keep the list's own handling.
    delegate->arrayController()->setSelectionIndex(0);
    QTest::keyClick(window->entryTableView, Qt::Key_Down);
    EXPECT_EQ(delegate->arrayController()->selectionIndex(), 1u);
    EXPECT_TRUE(window->entryTableView->hasFocus());

    QTest::keyClick(window->entryTableView, Qt::Key_Return);
    ASSERT_TRUE(window->editTextView->hasFocus());

    // In the editor Return is a line break, not a focus move.
    QTest::keyClicks(window->editTextView, QStringLiteral("one"));
    QTest::keyClick(window->editTextView, Qt::Key_Return);
    QTest::keyClicks(window->editTextView, QStringLiteral("two"));
    EXPECT_EQ(window->editTextView->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_TRUE(window->editTextView->hasFocus());

    QTest::keyClick(window->editTextView, Qt::Key_Escape);
    EXPECT_TRUE(window->entryTableView->hasFocus());
    EXPECT_EQ(window->editTextView->toPlainText(), QStringLiteral("one\ntwo"));

    QTest::keyClick(window->entryTableView, Qt::Key_Escape);
    EXPECT_TRUE(window->monthSelectView->hasFocus());

    // The keypad's Enter is a Return too.
    QTest::keyClick(window->monthSelectView, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(window->entryTableView->hasFocus());
}

TEST_F(JournalWindowTest, EscapeInTheMonthGridOpensTheYearList) {
    QComboBox* years = window->yearPopUp;
    ASSERT_GT(years->count(), 0);
    window->monthSelectView->setFocus();
    EXPECT_FALSE(years->view()->isVisible());

    QTest::keyClick(window->monthSelectView, Qt::Key_Escape);
    EXPECT_TRUE(years->view()->isVisible());
    years->hidePopup();

    // Arrow keys still move the grid's selection.
    const int before = window->monthSelectView->currentIndex().row();
    QTest::keyClick(window->monthSelectView, before == 0 ? Qt::Key_Right : Qt::Key_Left);
    EXPECT_NE(window->monthSelectView->currentIndex().row(), before);
    EXPECT_FALSE(years->view()->isVisible());
}

TEST_F(JournalWindowTest, LeavingTheEditorWithEscapeSavesTheTypedText) {
    delegate->insertNewObject(nullptr);
    QCoreApplication::processEvents();
    window->editTextView->setFocus();
    ASSERT_TRUE(window->editTextView->hasFocus());
    QTest::keyClicks(window->editTextView, QStringLiteral("Dear diary"));
    EXPECT_EQ(storedText(home->storePath()), QString());

    QTest::keyClick(window->editTextView, Qt::Key_Escape);
    EXPECT_EQ(storedText(home->storePath()), QStringLiteral("Dear diary"));

    // The pointer taking the focus elsewhere saves as well.
    window->editTextView->setFocus();
    QTest::keyClicks(window->editTextView, QStringLiteral("!"));
    pointerEnters(window->monthSelectView);
    EXPECT_TRUE(window->monthSelectView->hasFocus());
    EXPECT_EQ(storedText(home->storePath()), QStringLiteral("Dear diary!"));
}

TEST_F(JournalWindowTest, PointerGivesFocusOnlyInTheActiveWindow) {
    window->editTextView->setFocus();
    ASSERT_TRUE(window->editTextView->hasFocus());

    pointerEnters(window->entryTableView);
    EXPECT_TRUE(window->entryTableView->hasFocus());
    pointerEnters(window->monthSelectView);
    EXPECT_TRUE(window->monthSelectView->hasFocus());
    pointerEnters(window->editTextView);
    EXPECT_TRUE(window->editTextView->hasFocus());

    QLineEdit other;
    other.setWindowTitle(QStringLiteral("other"));
    other.show();
    activate(&other);
    other.setFocus();
    ASSERT_TRUE(other.hasFocus());

    pointerEnters(window->entryTableView);
    pointerEnters(window->monthSelectView);
    EXPECT_TRUE(other.hasFocus());
    EXPECT_EQ(window->focusWidget(), window->editTextView);

    activate(window);
    pointerEnters(window->entryTableView);
    EXPECT_TRUE(window->entryTableView->hasFocus());
}

TEST_F(JournalWindowTest, RealPointerMovesCarryTheFocus) {
    window->editTextView->setFocus();
    QTest::mouseMove(window->entryTableView, QPoint(20, 20));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->entryTableView->hasFocus());
    QTest::mouseMove(window->editTextView, QPoint(40, 40));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->editTextView->hasFocus());
}

} // namespace
} // namespace quillet::test
