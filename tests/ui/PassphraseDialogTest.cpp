// The passphrase that seals the cloud folder: chosen twice with a strength
// hint (what the Cloud pane says of it: CloudSettingViewTest).
#include "ui/settings/PassphraseDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillet::test {
namespace {

TEST(PassphraseDialog, ANewOneIsTypedTwiceWithAHint) {
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
}

} // namespace
} // namespace quillet::test
