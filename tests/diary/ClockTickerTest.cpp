// The clock ticker on its own, naming a sender that is not itself.
#include "diary/ClockTicker.h"
#include "core/Application.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <memory>

namespace quillet {
namespace {

TEST(ClockTicker, TicksNameTheGivenSenderAndStopWithTheTicker) {
    int sender = 0;
    std::vector<const void*> objects;
    const int token = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("clockTicked"), nullptr,
        [&objects](const Notification& note) { objects.push_back(note.object); });

    // Gone before its first tick was due: that tick never comes.
    auto early = std::make_unique<ClockTicker>(&sender);
    early.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(objects.empty());

    ClockTicker ticker(&sender);
    EXPECT_EQ(ticker.timer()->interval(), 3000);
    QCoreApplication::processEvents();
    ASSERT_EQ(objects.size(), 1u) << "the first tick is due at once";
    EXPECT_EQ(objects[0], &sender);
    NotificationCenter::defaultCenter().removeObserver(token);
}

// Counts "clockTicked" from one sender.
struct TickCounter {
    explicit TickCounter(const void* from) {
        token = NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("clockTicked"), from, [this](const Notification&) { ++count; });
    }
    ~TickCounter() { NotificationCenter::defaultCenter().removeObserver(token); }
    int token;
    int count = 0;
};

// The interval and the first tick are the ticker's (above); the utility's part
// is a repeating timer and a tick for each firing.
TEST(ClockTicker, TheUtilityTicksFromARepeatingTimer) {
    Utility clock;
    TickCounter ticks(&clock);
    QCoreApplication::processEvents();
    ASSERT_EQ(ticks.count, 1);
    const QList<QTimer*> timers = clock.findChildren<QTimer*>();
    ASSERT_EQ(timers.size(), 1);
    EXPECT_FALSE(timers[0]->isSingleShot());
    EXPECT_TRUE(timers[0]->isActive());
    clock.tickClock(timers[0]);
    EXPECT_EQ(ticks.count, 2) << "each firing posts once";
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

} // namespace
} // namespace quillet
