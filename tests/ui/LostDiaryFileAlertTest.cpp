#include "ui/LostDiaryFileAlert.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Clicks the button with that text in the message box once it is shown, and
// notes the texts of all its buttons.
void clickWhenShown(const QString& text, QStringList* buttons) {
    QTimer::singleShot(0, [text, buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        for (QAbstractButton* button : box->buttons()) {
            buttons->append(button->text());
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

TEST(LostDiaryFileAlert, OffersANewFileAndWhenQuittingToQuitWithoutSaving) {
    const Error error{kStoreErrorDomain, StoreFileMovedError,
                      QStringLiteral("The diary file moved.")};
    QStringList buttons;
    QString path = QStringLiteral("untouched");
    clickWhenShown(QStringLiteral("Not Now"), &buttons);
    EXPECT_EQ(LostDiaryFileAlert::ask(nullptr, error, QString(), false, &path),
              LostDiaryFileAlert::Choice::NotNow);
    EXPECT_TRUE(buttons.contains(QStringLiteral("Save to a New File\u2026")));
    EXPECT_FALSE(buttons.contains(QStringLiteral("Quit Without Saving")));
    EXPECT_EQ(path, QStringLiteral("untouched"));

    buttons.clear();
    clickWhenShown(QStringLiteral("Quit Without Saving"), &buttons);
    EXPECT_EQ(LostDiaryFileAlert::ask(nullptr, error, QString(), true, &path),
              LostDiaryFileAlert::Choice::QuitWithoutSaving);
    EXPECT_TRUE(buttons.contains(QStringLiteral("Quit Without Saving")));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Cancel")));

    buttons.clear();
    clickWhenShown(QStringLiteral("Cancel"), &buttons);
    EXPECT_EQ(LostDiaryFileAlert::ask(nullptr, error, QString(), true, &path),
              LostDiaryFileAlert::Choice::NotNow);
}

} // namespace
} // namespace quillet
