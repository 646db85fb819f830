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

TEST(Utility, EditorFontFallsBackAsTheSettingsSay) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
    u->setFontLookup(installedFontWithName);
    UserDefaults* d = u->userDefalts();
    {
        LogCapture log;
        u->currentFont();
        // Fresh settings: the name falls back with its log line; the size to 30 without one.
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("null currentFontName")});
    }
    const QString family = installedFamily();
    ASSERT_FALSE(family.isEmpty());
    d->setObject(family, QStringLiteral("currentFontName"));
    d->synchronize();
    {
        LogCapture log;
        const std::optional<QFont> font = u->currentFont();
        ASSERT_TRUE(font);
        EXPECT_EQ(font->family(), family);
        EXPECT_EQ(font->pointSizeF(), 30.0);
        EXPECT_TRUE(log.lines().isEmpty());
    }
    d->setFloat(11.5f, QStringLiteral("currentFontSize"));
    {
        LogCapture log;
        EXPECT_EQ(u->currentFont()->pointSizeF(), 12.0);
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("currentFontSize less then 12")});
        EXPECT_EQ(d->floatForKey(QStringLiteral("currentFontSize")), 11.5f);
    }
    d->setFloat(12.0f, QStringLiteral("currentFontSize"));
    {
        LogCapture log;
        EXPECT_EQ(u->currentFont()->pointSizeF(), 12.0);
        EXPECT_TRUE(log.lines().isEmpty());
    }
    d->setFloat(0.0f, QStringLiteral("currentFontSize"));
    EXPECT_EQ(u->currentFont()->pointSizeF(), 30.0);
    // A name no installed family has, "Helvetica" above all, is drawn in
    // fontconfig's match for it, an installed family that is found again.
    d->setObject(QStringLiteral("No Such Font Family 123"), QStringLiteral("currentFontName"));
    const std::optional<QFont> matched = u->currentFont();
    ASSERT_TRUE(matched.has_value());
    EXPECT_TRUE(QFontDatabase::hasFamily(matched->family())) << matched->family().toStdString();
}

TEST(Utility, StoringTheFontKeepsFractionalSizesAndRefusesNone) {
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
