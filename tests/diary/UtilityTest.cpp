#include "diary/Utility.h"
#include "DiaryHome.h"
#include "core/Bundle.h"
#include "core/UserDefaults.h"
#include "diary/Edition.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::LogCapture;
using test::ScopedDiaryHome;

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
    const std::vector<std::pair<QString, int>> cases = {{QStringLiteral("Wrenfold"), 2},
                                                        {QStringLiteral("Quillet2"), 1},
                                                        {QStringLiteral("Quillet"), 0},
                                                        {QStringLiteral("wrenfold"), 0},
                                                        {QString(), 0}};
    for (const auto& [name, code] : cases) {
        Bundle::mainBundle().setBundleName(name);
        EXPECT_EQ(u->applicationModel(), code) << name.toStdString();
        EXPECT_EQ(u->themeName(), code == 2 ? QStringLiteral("eco") : QStringLiteral("basic"));
        EXPECT_EQ(u->edition().displayName(),
                  code == 2 ? QStringLiteral("Wrenfold") : QStringLiteral("Quillet"));
    }
    Bundle::mainBundle().setBundleName(old);
}

// Month tags are the calendar's components in the local zone (Calendar,
// DateTexts); identifiers are upper-case UUIDs, new at each call.
TEST(Utility, IdentifiersAreUpperCaseUuids) {
    Utility* u = Utility::sharedUtility();
    const QRegularExpression form(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    const QString a = u->createUUID();
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(u->createUUID(), a);
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
