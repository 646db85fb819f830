// The clock ticker on its own, naming a sender that is not itself.
#include "diary/ClockTicker.h"
#include "core/NotificationCenter.h"

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

} // namespace
} // namespace quillet
