// The passphrase that seals the cloud folder: chosen twice with a strength
// hint, and the Cloud pane saying what the folder needs.
#include "DiaryHome.h"

#include "diary/Utility.h"
#include "store/cloud/ContainerKey.h"
#include "ui/settings/CloudSettingView.h"
#include "ui/settings/PassphraseDialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillet::test {
namespace {

TEST(PassphraseDialog, ANewOneIsTypedTwiceWithAHintAndThePaneSaysWhatTheFolderNeeds) {
    PassphraseDialog dialog(PassphraseDialog::Mode::Choose, QStringLiteral("Choose"));
    const struct {
        const char* first;
        const char* again;
        bool accepted;
        const char* hint;
    } cases[] = {
        {"", "", false, "unrelated words"},
        {"apple", "", false, "Weak"},
        {"apple orbit candle", "", false, "Fair"},
        {"apple orbit candle meadow", "apple orbit", false, "differ"},
        {"apple orbit candle meadow", "apple orbit candle meadow", true, "Strong"},
    };
    for (const auto& c : cases) {
        dialog.firstField()->setText(QString::fromUtf8(c.first));
        dialog.repeatField()->setText(QString::fromUtf8(c.again));
        EXPECT_EQ(dialog.okButton()->isEnabled(), c.accepted) << c.first << "|" << c.again;
        EXPECT_TRUE(dialog.hintLabel()->text().contains(QLatin1String(c.hint)))
            << c.first << ": " << dialog.hintLabel()->text().toStdString();
    }
    EXPECT_EQ(dialog.firstField()->echoMode(), QLineEdit::Password);

    // Signed in, no key yet; then the key made (the tests' passphrase file).
    ScopedDiaryHome home;
    const QString container = home.cloudRoot() + QLatin1Char('/') +
                              Utility::sharedUtility()->ubiquityContainerIdentifier();
    ASSERT_TRUE(QDir().mkpath(container));
    CloudSettingView pane(Utility::sharedUtility());
    pane.refresh();
    EXPECT_TRUE(pane.sealLabel()->text().contains(QStringLiteral("No diary key yet")));
    EXPECT_EQ(pane.passphraseButton()->text(), QStringLiteral("Choose Passphrase\u2026"));
    ASSERT_TRUE(cloud::ContainerKey::forContainer(container)->resolve(container));
    pane.refresh();
    EXPECT_TRUE(pane.sealLabel()->text().contains(QStringLiteral("nothing in it is plain text")));
    EXPECT_EQ(pane.passphraseButton()->text(), QStringLiteral("Change Passphrase\u2026"));
}

} // namespace
} // namespace quillet::test
