#include "ui/appearance/InstalledFonts.h"
#include "DiaryHome.h"
#include "core/UserDefaults.h"
#include "diary/Utility.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::LogCapture;
using test::ScopedDiaryHome;

QString installedFamily() {
    const QStringList families = QFontDatabase::families();
    return families.contains(QStringLiteral("DejaVu Sans")) ? QStringLiteral("DejaVu Sans")
                                                            : families.value(0);
}

// The fallbacks of the stored name and size are DiarySettings' (DiarySettingsTest);
// here the lookup among the installed families.
TEST(InstalledFonts, TheStoredNameIsFoundAmongTheInstalledFamiliesOrMatched) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
    u->setFontLookup(installedFontWithName);
    UserDefaults* d = u->userDefalts();
    const QString family = installedFamily();
    ASSERT_FALSE(family.isEmpty());
    d->setObject(family, QStringLiteral("currentFontName"));
    d->setFloat(17.5f, QStringLiteral("currentFontSize"));
    const std::optional<QFont> font = u->currentFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->family(), family);
    EXPECT_EQ(font->pointSizeF(), 17.5);
    // A name no installed family has, "Helvetica" above all, is drawn in
    // fontconfig's match for it, an installed family that is found again.
    d->setObject(QStringLiteral("No Such Font Family 123"), QStringLiteral("currentFontName"));
    const std::optional<QFont> matched = u->currentFont();
    ASSERT_TRUE(matched.has_value());
    EXPECT_TRUE(QFontDatabase::hasFamily(matched->family())) << matched->family().toStdString();
}

TEST(InstalledFonts, StoringTheFontKeepsFractionalSizesAndRefusesNone) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
    u->setFontLookup(installedFontWithName);
    QFont font(installedFamily());
    font.setPointSizeF(11.6);
    u->setCurrentFont(font);
    EXPECT_EQ(u->userDefalts()->floatForKey(QStringLiteral("currentFontSize")), 11.6f);
    EXPECT_EQ(u->userDefalts()->stringForKey(QStringLiteral("currentFontName")), installedFamily());
    {
        LogCapture log;
        u->setCurrentFont(std::nullopt);
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("null currentFont")});
    }
    EXPECT_EQ(u->userDefalts()->floatForKey(QStringLiteral("currentFontSize")), 11.6f);
    // A face other than the regular one is part of the stored name and comes back.
    const QStringList styles = QFontDatabase::styles(installedFamily());
    if (styles.contains(QStringLiteral("Bold"))) {
        QFont bold(installedFamily());
        bold.setStyleName(QStringLiteral("Bold"));
        bold.setPointSizeF(18);
        u->setCurrentFont(bold);
        EXPECT_EQ(u->userDefalts()->stringForKey(QStringLiteral("currentFontName")),
                  installedFamily() + QStringLiteral("-Bold"));
        EXPECT_EQ(u->currentFont()->styleName(), QStringLiteral("Bold"));
    }
}

} // namespace
} // namespace quillet
