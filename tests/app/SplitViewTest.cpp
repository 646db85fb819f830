#include "JournalWindowFixture.h"

#include "ui/journal/LeftSplitView.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QSplitter>

namespace quillet::test {
namespace {

// A real drag of a divider's handle by dx, dy pixels.
void dragHandle(QSplitter* split, int index, QPoint by) {
    QWidget* grip = split->handle(index);
    const QPoint local = grip->rect().center();
    const QPoint from = grip->mapToGlobal(local);
    const QPoint to = from + by;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(local), QPointF(from),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(local + by), QPointF(local + by), QPointF(to),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local + by), QPointF(local + by),
                        QPointF(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grip, &release);
    QCoreApplication::processEvents();
}

// The dividers of the main window stay where their delegates fix them.
class MainWindowSplitTest : public JournalWindowTest {
protected:
    QSplitter* main() const { return window->mainView; }
    QSplitter* column() const { return window->leftSplitView; }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

TEST_F(MainWindowSplitTest, DividersStayPutThroughResizesAndDrags) {
    // An entry on screen, so the editor side shows its date and color band.
    delegate->insertNewObject(nullptr);
    settle();
    // The editor side fits beside the left column even in the smallest window.
    EXPECT_LE(320 + main()->handleWidth() + window->editorPanel->minimumSizeHint().width(),
              window->minimumWidth());
    ASSERT_NE(dynamic_cast<LeftSplitView*>(column()), nullptr);
    EXPECT_EQ(column()->handleWidth(), 1);
    EXPECT_EQ(main()->sizes().value(0), 320);
    EXPECT_EQ(column()->sizes().value(0), 137);
    const int editorWidth = window->editorPanel->width();
    const int listHeight = window->leftButtomView->height();

    window->resize(window->width() + 200, window->height() + 100);
    settle();
    EXPECT_EQ(main()->sizes().value(0), 320);
    EXPECT_EQ(window->editorPanel->width(), editorWidth + 200);
    EXPECT_EQ(column()->sizes().value(0), 137);
    EXPECT_EQ(window->leftButtomView->height(), listHeight + 100);

    dragHandle(main(), 1, QPoint(120, 0));
    EXPECT_EQ(main()->sizes().value(0), 320);
    dragHandle(main(), 1, QPoint(-150, 0));
    EXPECT_EQ(main()->sizes().value(0), 320);
    dragHandle(column(), 1, QPoint(0, 90));
    EXPECT_EQ(column()->sizes().value(0), 137);
    dragHandle(column(), 1, QPoint(0, -60));
    EXPECT_EQ(column()->sizes().value(0), 137);

    window->resize(window->minimumSize());
    settle();
    EXPECT_EQ(main()->sizes().value(0), 320);
    EXPECT_EQ(column()->sizes().value(0), 137);
    EXPECT_EQ(window->monthPanel->width(), 320);
}

TEST_F(MainWindowSplitTest, MonthPanelCollapsesDuringASearchAndComesBack) {
    settle();
    QWidget* panel = window->monthPanel;
    const int columnHeight = column()->height();

    window->searchField->setText(QStringLiteral("rain"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->height() == 0; }, 3000));
    settle();
    EXPECT_EQ(window->leftButtomView->height(), columnHeight - column()->handleWidth());

    // A drag while collapsed must not lose the panel's place.
    dragHandle(column(), 1, QPoint(0, 50));
    EXPECT_EQ(panel->height(), 0);

    window->searchField->clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->height() == 137; }, 3000));
    settle();
    EXPECT_EQ(column()->sizes().value(0), 137);
    EXPECT_EQ(window->leftButtomView->height(), columnHeight - 137 - column()->handleWidth());
}

} // namespace
} // namespace quillet::test
