// Every control a screen reader reaches has a name: what Orca reads out is
// what Qt's accessibility layer answers for it.
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/passcode/PasscodeView.h"

#include <QAccessible>
#include <QPixmap>
#include <QSplitter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The controls of `root` that a user can act on or read, without a name.
QStringList unnamedControls(QWidget* root) {
    static const QList<QAccessible::Role> controls = {
        QAccessible::PushButton, QAccessible::CheckBox,   QAccessible::RadioButton,
        QAccessible::Slider,     QAccessible::ComboBox,   QAccessible::EditableText,
        QAccessible::List,       QAccessible::Table,      QAccessible::Tree,
        QAccessible::SpinBox,    QAccessible::Splitter,   QAccessible::ButtonMenu,
        QAccessible::ScrollBar,  QAccessible::PageTabList};
    QStringList unnamed;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || !controls.contains(face->role()))
            continue;
        const QString where =
            QStringLiteral("%1 \"%2\"")
                .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName());
        if (face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << where;
        // The cells of a list or a grid are read one by one.
        if (face->role() != QAccessible::List)
            continue;
        for (int i = 0; i < std::min(face->childCount(), 50); ++i) {
            QAccessibleInterface* cell = face->child(i);
            if (cell && cell->role() == QAccessible::ListItem &&
                cell->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QStringLiteral("%1, item %2").arg(where).arg(i);
        }
    }
    return unnamed;
}

TEST(AccessibleNames, EveryShownControlOfTheMainWindowHasOne) {
    MainWindow window{Utility::sharedUtility()};
    window.colorTagSelectView->setImages(std::vector<QPixmap>(6, QPixmap(44, 22)));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList unnamed = unnamedControls(&window);
    // The lock screen, with its keypad.
    window.mainView->hide();
    window.passcodeView->show();
    unnamed << unnamedControls(&window);
    EXPECT_TRUE(unnamed.isEmpty()) << qPrintable(unnamed.join(QLatin1Char('\n')));
}

} // namespace
} // namespace quillet
