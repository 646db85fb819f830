// The window's texts come out in the user's language, and stay the source
// texts under the C locale.
#include "ui/Translations.h"
#include "diary/Utility.h"
#include "diary/import/DiaryImport.h"
#include "ui/HelpWindows.h"
#include "ui/MainWindow.h"

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(Translations, GermanCatalogueTranslatesTheWindowAndCKeepsTheSourceTexts) {
    struct Case {
        QLocale locale;
        const char *language, *menu, *button, *stockButton, *about, *report;
    } const cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), "de", "&Datei", "Nicht jetzt", "Schließen",
         "Ihr Tagebuch: /d/entries.sqlite", "Almanah: 3 importiert, 1 schon vorhanden"},
        {QLocale::c(), "", "&File", "Not Now", "Close", "Your diary: /d/entries.sqlite",
         "Almanah: 3 imported, 1 already there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        EXPECT_EQ(Translations::use(c.locale), QLatin1String(c.language));
        MainWindow window{Utility::sharedUtility()};
        EXPECT_EQ(window.menuBar()->actions().value(0)->text(), QString::fromUtf8(c.menu));
        EXPECT_EQ(window.useCloudLaterButton->text(), QString::fromUtf8(c.button));
        QDialogButtonBox stock(QDialogButtonBox::Close);
        EXPECT_EQ(stock.button(QDialogButtonBox::Close)->text(), QString::fromUtf8(c.stockButton));
        EXPECT_TRUE(
            HelpWindows::aboutText({QStringLiteral("Quillet2"), {}, QStringLiteral("/d"), {}, {}})
                .contains(QString::fromUtf8(c.about)));
        const ImportReport report{QStringLiteral("Almanah"), 3, 1, {}, {}};
        EXPECT_TRUE(report.summary().startsWith(QString::fromUtf8(c.report)))
            << report.summary().toStdString();
    }
}

} // namespace
} // namespace quillet
