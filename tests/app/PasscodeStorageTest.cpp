#include "AppTestSupport.h"

#include "app/AppDelegate.h"
#include "diary/Utility.h"
#include "core/Application.h"
#include "core/NotificationCenter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

using namespace quillet;
using namespace quillet::test;

namespace {

Utility* utility() {
    return Utility::sharedUtility();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString containerFolder(const ScopedDiaryHome& home) {
    return home.cloudRoot() + QLatin1Char('/') + utility()->ubiquityContainerIdentifier();
}

QString markerPath(const ScopedDiaryHome& home) {
    return containerFolder(home) + QStringLiteral("/.nosync/sessionID.plist");
}

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           body + "\n</plist>\n";
}

// Counts "clockTicked" from one Utility.
struct TickCounter {
    explicit TickCounter(const Utility* from) {
        token = NotificationCenter::defaultCenter().addObserver(QStringLiteral("clockTicked"), from,
                                                                [this](const Notification&) { ++count; });
    }
    ~TickCounter() { NotificationCenter::defaultCenter().removeObserver(token); }
    int token;
    int count = 0;
};

} // namespace

TEST(SessionMarker, NotSignedInWritesNothing) {
    ScopedDiaryHome home;
    utility()->setSessionID(QStringLiteral("ABC"));
    EXPECT_TRUE(utility()->sessionID().isNull());
    EXPECT_TRUE(QDir(home.cloudRoot()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    std::unique_ptr<AppDelegate> d = launchDelegate();
    EXPECT_TRUE(d->currentSessionID().isEmpty());
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(SessionMarker, RoundTripAndDamagedFiles) {
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(containerFolder(home)));
    const QString id = utility()->createUUID();
    utility()->setSessionID(id);
    EXPECT_EQ(utility()->sessionID(), id);
    QFile file(markerPath(home));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    file.close();
    EXPECT_TRUE(xml.contains("<key>sessionID</key>"));
    EXPECT_TRUE(xml.contains("<string>" + id.toUtf8() + "</string>"));
    EXPECT_EQ(xml.count("<key>"), 1);

    const QString next = utility()->createUUID();
    utility()->setSessionID(next);
    EXPECT_EQ(utility()->sessionID(), next);

    ASSERT_TRUE(QFile::remove(markerPath(home)));
    EXPECT_TRUE(utility()->sessionID().isNull()) << "missing";

    writeFile(markerPath(home), "\x00\x01garbage<plist");
    EXPECT_TRUE(utility()->sessionID().isNull()) << "damaged";

    writeFile(markerPath(home), plist("<dict><key>other</key><string>X</string></dict>"));
    EXPECT_TRUE(utility()->sessionID().isNull()) << "no sessionID key";

    writeFile(markerPath(home), plist("<array><string>X</string></array>"));
    EXPECT_TRUE(utility()->sessionID().isNull()) << "not a dictionary";

    writeFile(markerPath(home), plist("<dict><key>sessionID</key><integer>7</integer></dict>"));
    EXPECT_TRUE(utility()->sessionID().isNull()) << "not a string";

    // A damaged file is simply replaced by the next write.
    utility()->setSessionID(id);
    EXPECT_EQ(utility()->sessionID(), id);
    EXPECT_TRUE(alerts().errors.empty());
}

TEST(SessionMarker, LaunchWritesAFreshIdentifierWhenSignedIn) {
    ScopedDiaryHome home;
    ASSERT_TRUE(QDir().mkpath(containerFolder(home)));
    std::unique_ptr<AppDelegate> first = launchDelegate();
    const QString id = first->currentSessionID();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(id)
                    .hasMatch())
        << id.toStdString();
    EXPECT_EQ(utility()->sessionID(), id);
    first.reset();
    std::unique_ptr<AppDelegate> second = launchDelegate();
    EXPECT_NE(second->currentSessionID(), id);
    EXPECT_EQ(utility()->sessionID(), second->currentSessionID());
}

TEST(ClockTicker, FirstTickAtOnceThenEveryThreeSeconds) {
    Utility clock;
    TickCounter ticks(&clock);
    EXPECT_EQ(ticks.count, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks.count, 1) << "the first tick is due at once";

    const QList<QTimer*> timers = clock.findChildren<QTimer*>();
    ASSERT_EQ(timers.size(), 1);
    EXPECT_EQ(timers[0]->interval(), 3000);
    EXPECT_FALSE(timers[0]->isSingleShot());
    EXPECT_TRUE(timers[0]->isActive());
    const QVariantMap info = timers[0]->property("userInfo").toMap();
    ASSERT_TRUE(info.contains(QStringLiteral("StartDate")));
    const QDateTime start = info.value(QStringLiteral("StartDate")).toDateTime();
    EXPECT_TRUE(start.isValid());
    EXPECT_LE(qAbs(start.secsTo(QDateTime::currentDateTime())), 60);

    clock.tickClock(timers[0]);
    EXPECT_EQ(ticks.count, 2) << "each firing posts once";
    const QVariantMap made = clock.userInfo();
    EXPECT_EQ(made.keys(), QStringList{QStringLiteral("StartDate")});
}

TEST(ClockTicker, NoTicksWhileAModalSessionRuns) {
    bool modal = true;
    Application::setModalSessionQuery([&modal] { return modal; });
    {
        Utility clock;
        TickCounter ticks(&clock);
        QCoreApplication::processEvents();
        EXPECT_EQ(ticks.count, 0) << "the first tick fell into the modal session";
        clock.tickClock(nullptr);
        EXPECT_EQ(ticks.count, 0);
        modal = false;
        clock.tickClock(nullptr);
        EXPECT_EQ(ticks.count, 1) << "missed ticks are not replayed";
    }
    Application::setModalSessionQuery({});
}
