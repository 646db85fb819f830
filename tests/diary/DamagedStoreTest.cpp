// A diary file the application can't use: the user is told at the first
// request for the context and at every later one, the file stays exactly as
// it was, nothing is held, and the application keeps running.
#include "DiaryFiles.h"
#include "StoreTestSupport.h"

#include "diary/DiaryStore.h"
#include "diary/Utility.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <QFile>
#include <functional>

namespace quillet::test {
namespace {

QByteArray goodDiary() {
    static const QByteArray bytes = [] {
        const QString path = makeTempDir() + QStringLiteral("/entries.sqlite");
        return writeDiary(path, paddedEntries(60)) ? readBytes(path) : QByteArray();
    }();
    return bytes;
}

struct Damage {
    const char* name;
    int code;
    std::function<void(const QString& path)> make;
    // Further checks of the file afterwards.
    std::function<void(const QString& path)> check = {};
};

void expectReportedAndUntouched(const Damage& damage) {
    SCOPED_TRACE(damage.name);
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
    damage.make(home.storePath());
    const QByteArray before = readBytes(home.storePath());
    const qint64 sizeBefore = QFileInfo(home.storePath()).size();
    const bool isFile = QFileInfo(home.storePath()).isFile();
    const QStringList names = folderNames(home.storeFolder());
    const int terminates = terminateCount();
    LogCapture log;

    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    for (int request = 1; request <= 3; ++request) {
        ManagedObjectContext* context = diary.managedObjectContext();
        ASSERT_TRUE(context);
        EXPECT_FALSE(context->persistentStoreCoordinator());
        EXPECT_TRUE(context->registeredObjects().empty());
        ASSERT_EQ(alerts().errors.size(), std::size_t(request));
        const Error& error = alerts().errors.back();
        EXPECT_EQ(error.code, damage.code) << error.localizedDescription.toStdString();
        EXPECT_TRUE(error.localizedDescription.contains(home.storePath())) << error.localizedDescription.toStdString();
    }
    EXPECT_EQ(terminateCount(), terminates);
    for (const QString& line : log.lines()) {
        EXPECT_FALSE(line.startsWith(QStringLiteral("Store URL: "))) << line.toStdString();
    }
    EXPECT_EQ(QFileInfo(home.storePath()).isFile(), isFile);
    if (isFile) {
        EXPECT_EQ(readBytes(home.storePath()), before);
        EXPECT_EQ(QFileInfo(home.storePath()).size(), sizeBefore);
    }
    EXPECT_EQ(folderNames(home.storeFolder()), names);
    // Asking for the coordinator alone reports again and still holds nothing.
    EXPECT_FALSE(diary.persistentStoreCoordinator());
    EXPECT_EQ(alerts().errors.size(), 4u);
    if (damage.check) {
        damage.check(home.storePath());
    }
}

TEST(DamagedStore, EveryKindOfUnusableFileIsReportedAtEveryRequestAndLeftAsItWas) {
    ASSERT_FALSE(goodDiary().isEmpty());
    const std::vector<Damage> damages = {
        {"zero length", StoreCorruptError, [](const QString& p) { writeBytes(p, QByteArray()); }},
        {"garbage", StoreCorruptError,
         [](const QString& p) {
             QByteArray junk;
             for (int i = 0; i < 9000; ++i) {
                 junk.append(char((i * 7919 + 13) & 0xff));
             }
             writeBytes(p, junk);
         }},
        {"truncated inside the header", StoreCorruptError,
         [](const QString& p) { writeBytes(p, goodDiary().left(60)); }},
        {"truncated at a page boundary", StoreCorruptError,
         [](const QString& p) { writeBytes(p, goodDiary().left(3 * 4096)); }},
        {"truncated inside a page", StoreCorruptError,
         [](const QString& p) { writeBytes(p, goodDiary().left(goodDiary().size() - 777)); }},
        {"a newer format", StoreIncompatibleVersionError,
         [](const QString& p) {
             writeBytes(p, goodDiary());
             const QByteArray newer =
                 "PRAGMA user_version = " + QByteArray::number(PersistentStore::kSchemaVersion + 1);
             rawExec(p, newer.constData());
         }},
        {"another program's database", StoreIncompatibleVersionError,
         [](const QString& p) { rawExec(p, "PRAGMA application_id = 1; CREATE TABLE t (x);"); }},
        {"a folder", StoreOpenError, [](const QString& p) { QDir().mkpath(p); }},
    };
    for (const Damage& damage : damages) {
        expectReportedAndUntouched(damage);
    }
}

TEST(DamagedStore, AFileThatMayNotBeReadIsReportedAndLeftAsItWas) {
    QUILLET_SKIP_UNLESS_PERMISSIONS_BIND();
    expectReportedAndUntouched({"no permission", StoreOpenError, [](const QString& p) {
                                    writeBytes(p, goodDiary());
                                    QFile::setPermissions(p, QFile::Permissions());
                                },
                                [](const QString& p) {
                                    QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner);
                                    EXPECT_EQ(readBytes(p), goodDiary());
                                }});
}

TEST(DamagedStore, OnceTheFileIsRepairedTheNextRequestOpensIt) {
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(home.storeFolder()));
    ASSERT_TRUE(writeBytes(home.storePath(), goodDiary().left(5000)));
    DiaryStore diary(&Utility::sharedUtility()->storeLocations(), nullptr);
    EXPECT_FALSE(diary.managedObjectContext()->persistentStoreCoordinator());
    EXPECT_EQ(alerts().errors.size(), 1u);

    ASSERT_TRUE(writeBytes(home.storePath(), goodDiary()));
    ManagedObjectContext* context = diary.managedObjectContext();
    ASSERT_TRUE(context->persistentStoreCoordinator());
    EXPECT_EQ(context->registeredObjects().size(), 60u);
    EXPECT_EQ(diary.managedObjectContext(), context);
    EXPECT_EQ(alerts().errors.size(), 1u);
}

} // namespace
} // namespace quillet::test
