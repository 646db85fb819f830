// The session marker in whatever folder it is given at the moment of asking.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "diary/SessionMarker.h"

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
    marker.setSessionID(QStringLiteral("FIRST"));
    EXPECT_EQ(marker.sessionID(), QStringLiteral("FIRST"));

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

} // namespace
} // namespace quillet::test
