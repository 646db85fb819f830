// The lock screen's controls have names: what Orca reads out is what Qt's
// accessibility layer answers. The journal's are read over AT-SPI by the
// e2e_accessible_names tests; a locked diary needs a passcode they do not set.
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/passcode/PasscodeView.h"

#include <QAccessible>
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
    }
    return unnamed;
}

TEST(AccessibleNames, EveryShownControlOfTheLockScreenHasOne) {
    MainWindow window{Utility::sharedUtility()};
    window.mainView->hide();
    window.passcodeView->show();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QStringList unnamed = unnamedControls(&window);
    EXPECT_TRUE(unnamed.isEmpty()) << qPrintable(unnamed.join(QLatin1Char('\n')));
}

} // namespace
} // namespace quillet
