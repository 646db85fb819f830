#include "diary/SaveScheduler.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(SaveScheduler, APauseOrALongRunOfChangesMakesOneSaveDue) {
    SaveScheduler scheduler(100, 300);
    QSignalSpy due(&scheduler, &SaveScheduler::saveDue);

    // A burst of changes, then a pause: one save, after the burst.
    for (int i = 0; i < 20; ++i) {
        scheduler.noteChange();
    }
    EXPECT_TRUE(scheduler.isPending());
    EXPECT_TRUE(due.wait(5000));
    EXPECT_EQ(due.count(), 1);
    EXPECT_FALSE(scheduler.isPending());
    QTest::qWait(400);
    EXPECT_EQ(due.count(), 1) << "nothing changed since";

    // Changes that never pause for long still get saved while they go on.
    QDeadlineTimer giveUp(10000);
    while (due.count() == 1 && !giveUp.hasExpired()) {
        scheduler.noteChange();
        QTest::qWait(10);
    }
    EXPECT_EQ(due.count(), 2);

    // Saved by other means meanwhile: nothing is due.
    scheduler.noteChange();
    scheduler.cancel();
    QTest::qWait(400);
    EXPECT_EQ(due.count(), 2);
}

} // namespace
} // namespace quillet
