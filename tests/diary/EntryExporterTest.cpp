#include "AppTestSupport.h"
#include "Entries.h"
#include "TestSupport.h"

#include "diary/Utility.h"
#include "diary/export/EntryExporter.h"
#include "diary/export/SystemTextEditorLauncher.h"
#include "diary/export/TextEditorLauncher.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace quillet;
using quillet::test::LogCapture;
using quillet::test::makeTempDir;
using quillet::test::modeOf;
using quillet::test::ScopedEnv;
using quillet::test::ScopedTimeZone;

namespace {

// The shared exporter with a launcher that only counts, in a cache folder of
// its own, in Berlin, with the entries added to a diary in memory.
class ExportHome {
public:
    ExportHome()
        : cache_(makeTempDir() + QStringLiteral("/cache")),
          env_("XDG_CACHE_HOME", cache_.toUtf8()) {
        auto launcher = std::make_unique<test::CountingLauncher>();
        launcher_ = launcher.get();
        EntryExporter::sharedExporter()->setLauncher(std::move(launcher));
    }
    ~ExportHome() {
        EntryExporter::sharedExporter()->setLauncher(std::make_unique<SystemTextEditorLauncher>());
    }

    QString folder() const { return cache_ + QStringLiteral("/Quillet2"); }
    QString path() const { return folder() + QStringLiteral("/preview.txt"); }
    QByteArray contents() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void add(int year, int month, int day, int hour, int minute, const QString& text) {
        added.push_back(test::addEntry(
            context_, QDateTime(QDate(year, month, day), QTime(hour, minute)), text));
    }
    // Every entry added, in the order added.
    void exportEntries(const QString& search = QString()) { exportEntries(added, search); }
    void exportEntries(const std::vector<ManagedObject*>& entries, const QString& search) {
        EntryExporter::sharedExporter()->exportToTextAndPreview(entries, search,
                                                                DateComponents{2012, 3});
    }
    const QStringList& opened() const { return launcher_->opened; }

    std::vector<ManagedObject*> added;

private:
    ScopedTimeZone tz_{"Europe/Berlin"};
    QString cache_;
    ScopedEnv env_;
    test::CountingLauncher* launcher_ = nullptr;
    ManagedObjectContext context_;
};

} // namespace

TEST(EntryExporter, WritesDayHeadersTimesAndTextsInListOrder) {
    ExportHome home;
    home.add(2012, 3, 6, 8, 5, QStringLiteral("Three"));
    home.add(2012, 3, 5, 14, 7, QStringLiteral("Two"));
    home.add(2012, 3, 5, 9, 30, QStringLiteral("One"));

    LogCapture log;
    home.exportEntries();
    EXPECT_EQ(home.contents(), QByteArray("[March 6 Tue]\n08:05 AM\nThree\n\n"
                                          "[March 5 Mon]\n02:07 PM\nTwo\n\n"
                                          "09:30 AM\nOne\n\n"));
    EXPECT_EQ(home.opened(), QStringList{home.path()});
    EXPECT_EQ(log.count(QStringLiteral("filepath: ") + home.path()), 1);

    // A search spans years, so its headers name the year; one blank is a search.
    home.exportEntries(QStringLiteral(" "));
    EXPECT_EQ(home.contents(), QByteArray("[2012 March 6]\n08:05 AM\nThree\n\n"
                                          "[2012 March 5]\n02:07 PM\nTwo\n\n"
                                          "09:30 AM\nOne\n\n"));
    EXPECT_EQ(home.opened().size(), 2);
}

TEST(EntryExporter, RepeatsAHeaderAtEachReturnToADayAndKeepsTextsAsStored) {
    ExportHome home;
    home.add(2012, 3, 5, 9, 0, QStringLiteral("first line\nsecond line\n"));
    home.add(2012, 3, 6, 10, 0, QString());
    home.add(2012, 3, 5, 11, 0, QStringLiteral("Grüße, «été» ✓"));
    home.exportEntries();
    EXPECT_EQ(home.contents(),
              QString::fromUtf8("[March 5 Mon]\n09:00 AM\nfirst line\nsecond line\n\n\n"
                                "[March 6 Tue]\n10:00 AM\n\n\n"
                                "[March 5 Mon]\n11:00 AM\nGrüße, «été» ✓\n\n")
                  .toUtf8());

    // A second export replaces the first completely, an empty list included.
    home.exportEntries({}, QString());
    EXPECT_EQ(home.contents(), QByteArray());
    EXPECT_TRUE(QFileInfo::exists(home.path()));
    EXPECT_EQ(home.opened().size(), 2);
}

// How the file itself is written (owner only, a planted link replaced) is
// PrivateFile's; the exporter keeps its folder private.
TEST(EntryExporter, KeepsTheExportPrivateToTheUser) {
    ExportHome home;
    home.add(2012, 3, 5, 9, 0, QStringLiteral("secret"));
    home.exportEntries();
    EXPECT_EQ(modeOf(home.folder()), 0700);
    EXPECT_EQ(modeOf(home.path()), 0600);

    // Made readable by others in between: the next export closes them again.
    ASSERT_TRUE(QFile::setPermissions(home.folder(), QFile::Permissions(0x7755)));
    ASSERT_TRUE(QFile::setPermissions(home.path(), QFile::Permissions(0x6644)));
    home.exportEntries();
    EXPECT_EQ(modeOf(home.folder()), 0700);
    EXPECT_EQ(modeOf(home.path()), 0600);
    EXPECT_EQ(home.contents(), QByteArray("[March 5 Mon]\n09:00 AM\nsecret\n\n"));
}

TEST(EntryExporter, OpensNothingWhenTheFileCouldNotBeWritten) {
    ExportHome home;
    home.add(2012, 3, 5, 9, 0, QStringLiteral("kept"));
    home.exportEntries();
    ASSERT_EQ(home.opened().size(), 1);

    // The export's place is taken by a folder: the last export must not be shown as this one.
    QFile::remove(home.path());
    ASSERT_TRUE(QDir().mkpath(home.path()));
    LogCapture log;
    home.exportEntries();
    EXPECT_EQ(home.opened().size(), 1);
    EXPECT_EQ(log.count(QStringLiteral("filepath: ") + home.path()), 1);
    EXPECT_GE(log.lines().size(), 2);

    // No home at all: nothing is written anywhere and nothing opens.
    ScopedEnv noCache("XDG_CACHE_HOME", std::nullopt);
    ScopedEnv noHome("HOME", std::nullopt);
    home.exportEntries();
    EXPECT_EQ(home.opened().size(), 1);
}

TEST(SystemTextEditorLauncher, StartsTheConfiguredEditorWithThePathAsItsOnlyArgument) {
    const QString dir = makeTempDir();
    const QString record = dir + QStringLiteral("/arguments");
    const QString editor = dir + QStringLiteral("/fake editor");
    {
        QFile script(editor);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                .arg(record)
                .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Nothing in the path reaches a shell.
    const QString path = dir + QStringLiteral("/my notes; $(touch pwned).txt");
    ScopedEnv variable("QUILLET_TEXT_EDITOR", editor.toUtf8());
    SystemTextEditorLauncher launcher;
    ASSERT_TRUE(launcher.openFile(path));

    // The editor runs detached; wait for what it wrote, without asserting on time.
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(record) && waited.elapsed() < 20000) {
        QThread::msleep(20);
    }
    QFile written(record);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), QStringLiteral("1|") + path + QLatin1Char('|'));
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/pwned")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));

    ScopedEnv missing("QUILLET_TEXT_EDITOR", QByteArray("/nonexistent/editor"));
    LogCapture log;
    EXPECT_FALSE(launcher.openFile(path));
    EXPECT_EQ(log.lines().size(), 1);
}
