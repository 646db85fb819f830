// The session marker in whatever folder it is given at the moment of asking.
#include "DiaryFiles.h"
#include "DiaryHome.h"
#include "TestSupport.h"

#include "diary/SessionMarker.h"
#include "diary/Utility.h"

#include <gtest/gtest.h>

#include <QDir>

namespace quillet::test {
namespace {

TEST(SessionMarkerFolder, EachCallUsesTheFolderGivenAtThatMoment) {
    const QString first = makeTempDir();
    const QString second = makeTempDir();
    const QString working = makeTempDir();
    const QString oldWorking = QDir::currentPath();
    QDir::setCurrent(working);

    QString folder = first;
    SessionMarker marker([&folder] { return folder; });
    marker.setSessionID(QStringLiteral("FIRST")); // read back from this folder at the end

    folder = second;
    EXPECT_TRUE(marker.sessionID().isNull()) << "nothing written in the second folder yet";
    marker.setSessionID(QStringLiteral("SECOND"));
    EXPECT_EQ(marker.sessionID(), QStringLiteral("SECOND"));

    // Without a folder nothing is read, and nothing is written anywhere else.
    folder.clear();
    EXPECT_TRUE(marker.sessionID().isNull());
    marker.setSessionID(QStringLiteral("NOWHERE"));
    QDir::setCurrent(oldWorking);
    EXPECT_TRUE(folderNames(working).isEmpty());
    EXPECT_EQ(folderNames(first), QStringList{QStringLiteral("sessionID.plist")});

    folder = first;
    EXPECT_EQ(marker.sessionID(), QStringLiteral("FIRST"));
}

// The marker in the container as the diary keeps it: missing, damaged or
// of another shape, it reads as none, and the next write replaces it.
TEST(SessionMarker, RoundTripAndDamagedFiles) {
    ScopedDiaryHome home;
    Utility* utility = Utility::sharedUtility();
    utility->setSessionID(QStringLiteral("ABC"));
    EXPECT_TRUE(utility->sessionID().isNull()) << "signed out: nothing is written";
    EXPECT_TRUE(folderNames(home.cloudRoot()).isEmpty());

    const QString container =
        home.cloudRoot() + QLatin1Char('/') + utility->ubiquityContainerIdentifier();
    const QString marker = container + QStringLiteral("/.nosync/sessionID.plist");
    ASSERT_TRUE(QDir().mkpath(container));
    const QString id = utility->createUUID();
    utility->setSessionID(id);
    EXPECT_EQ(utility->sessionID(), id);
    const QByteArray xml = readBytes(marker);
    EXPECT_TRUE(xml.contains("<key>sessionID</key>"));
    EXPECT_TRUE(xml.contains("<string>" + id.toUtf8() + "</string>"));
    EXPECT_EQ(xml.count("<key>"), 1);
    const QString next = utility->createUUID();
    utility->setSessionID(next);
    EXPECT_EQ(utility->sessionID(), next);

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
    const std::pair<const char*, QByteArray> damaged[] = {
        {"missing", QByteArray()},
        {"damaged", QByteArray("\x00\x01garbage<plist", 15)},
        {"no sessionID key", head + "<dict><key>other</key><string>X</string></dict>\n</plist>\n"},
        {"not a dictionary", head + "<array><string>X</string></array>\n</plist>\n"},
        {"not a string",
         head + "<dict><key>sessionID</key><integer>7</integer></dict>\n</plist>\n"},
    };
    for (const auto& [what, bytes] : damaged) {
        ASSERT_TRUE(QFile::remove(marker));
        if (!bytes.isNull()) {
            ASSERT_TRUE(writeBytes(marker, bytes));
        }
        EXPECT_TRUE(utility->sessionID().isNull()) << what;
        utility->setSessionID(id);
        EXPECT_EQ(utility->sessionID(), id) << what << ": replaced by the next write";
    }
    EXPECT_TRUE(alerts().errors.empty());
}

} // namespace
} // namespace quillet::test
