// The launch's part of the session marker; reading and writing it is the
// diary's (SessionMarker.RoundTripAndDamagedFiles).
#include "AppTestSupport.h"

#include "app/AppDelegate.h"
#include "diary/Utility.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace quillet;
using namespace quillet::test;

TEST(SessionMarker, LaunchWritesAFreshIdentifierOnlyWhenSignedIn) {
    ScopedDiaryHome home;
    EXPECT_TRUE(launchDelegate()->currentSessionID().isEmpty());
    EXPECT_TRUE(QDir(home.cloudRoot())
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
    EXPECT_TRUE(alerts().errors.empty());

    Utility* utility = Utility::sharedUtility();
    ASSERT_TRUE(QDir().mkpath(home.cloudRoot() + QLatin1Char('/') +
                              utility->ubiquityContainerIdentifier()));
    std::unique_ptr<AppDelegate> first = launchDelegate();
    const QString id = first->currentSessionID(); // of createUUID's form: UtilityTest
    EXPECT_FALSE(id.isEmpty());
    EXPECT_EQ(utility->sessionID(), id);
    first.reset();
    std::unique_ptr<AppDelegate> second = launchDelegate();
    EXPECT_NE(second->currentSessionID(), id);
    EXPECT_EQ(utility->sessionID(), second->currentSessionID());
}
