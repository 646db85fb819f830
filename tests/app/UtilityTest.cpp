#include "AppTestSupport.h"
#include "app/Utility.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::LogCapture;
using test::ScopedDiaryHome;

QString installedFamily() {
    const QStringList families = QFontDatabase::families();
    return families.contains(QStringLiteral("DejaVu Sans")) ? QStringLiteral("DejaVu Sans") : families.value(0);
}

TEST(Utility, EditorFontFallsBackAsTheSettingsSay) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
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
    d->setObject(QStringLiteral("No Such Font Family 123"), QStringLiteral("currentFontName"));
    EXPECT_FALSE(u->currentFont().has_value());
}

TEST(Utility, StoringTheFontKeepsFractionalSizesAndRefusesNone) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
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

TEST(Utility, FlagsAreFalseUntilSetAndWrittenAtOnce) {
    ScopedDiaryHome home;
    Utility* u = Utility::sharedUtility();
    EXPECT_FALSE(u->isUseICloudAsked());
    EXPECT_FALSE(u->isOldDataImported());
    u->setIsUseICloudAsked(true);
    u->setIsOldDataImported(true);
    // Another object on the same file sees them: the setters flushed.
    UserDefaults reader(u->userDefalts()->filePath());
    EXPECT_TRUE(reader.boolForKey(QStringLiteral("isUseICloudAsked")));
    EXPECT_TRUE(reader.boolForKey(QStringLiteral("isOldDataImported")));
    u->setIsUseICloudAsked(false);
    EXPECT_FALSE(u->isUseICloudAsked());
}

TEST(Utility, EditionsComeFromTheBundleNameAskedEveryTime) {
    Utility* u = Utility::sharedUtility();
    const QString old = Bundle::mainBundle().bundleName();
    const std::vector<std::pair<QString, int>> cases = {
        {QStringLiteral("Wrenfold"), 2}, {QStringLiteral("Quillet2"), 1}, {QStringLiteral("Quillet"), 0},
        {QStringLiteral("wrenfold"), 0}, {QString(), 0}};
    for (const auto& [name, code] : cases) {
        Bundle::mainBundle().setBundleName(name);
        EXPECT_EQ(u->applicationModel(), code) << name.toStdString();
        EXPECT_EQ(u->themeName(), code == 2 ? QStringLiteral("eco") : QStringLiteral("basic"));
    }
    Bundle::mainBundle().setBundleName(old);
}

TEST(Utility, MonthTagsAndIdentifiers) {
    test::ScopedTimeZone tz("America/New_York");
    Utility* u = Utility::sharedUtility();
    EXPECT_EQ(u->monthTagForDate(QDateTime(QDate(2012, 3, 5), QTime(9, 0))), 201203);
    EXPECT_EQ(u->monthTagForDate(QDateTime(QDate(2013, 1, 31), QTime(23, 59))), 201301);
    // The same instant is already February in Berlin.
    const QDateTime instant = QDateTime(QDate(2013, 2, 1), QTime(4, 59), Qt::UTC);
    EXPECT_EQ(u->monthTagForDate(instant), 201301);
    {
        test::ScopedTimeZone berlin("Europe/Berlin");
        EXPECT_EQ(u->monthTagForDate(instant), 201302);
    }
    const QRegularExpression form(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    const QString a = u->createUUID();
    const QString b = u->createUUID();
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_TRUE(form.match(b).hasMatch());
    EXPECT_NE(a, b);
}

TEST(Utility, ClearDefaultsRemovesEverySettingOncePerProcess) {
    UserDefaults& standard = UserDefaults::standardUserDefaults();
    standard.setObject(QStringLiteral("1234"), QStringLiteral("passcode"));
    standard.setBool(true, QStringLiteral("passcodeLocked"));
    standard.synchronize();
    Utility::sharedUtility()->clearDefaults();
    EXPECT_TRUE(standard.allKeys().isEmpty());
    standard.setBool(true, QStringLiteral("isOldDataImported"));
    standard.synchronize();
    Utility::sharedUtility()->clearDefaults();
    EXPECT_TRUE(standard.boolForKey(QStringLiteral("isOldDataImported")));
    standard.removeObjectForKey(QStringLiteral("isOldDataImported"));
    standard.synchronize();
}

} // namespace
} // namespace quillet
