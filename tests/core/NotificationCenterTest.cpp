#include "core/NotificationCenter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace quillet {
namespace {

TEST(NotificationCenter, DeliversByNameAndSenderSynchronously) {
    NotificationCenter center;
    int sender = 0;
    int other = 0;
    std::vector<QString> anySender;
    std::vector<QVariant> oneSender;
    const int a = center.addObserver(QStringLiteral("clockTicked"), nullptr,
                                     [&](const Notification& n) { anySender.push_back(n.name); });
    const int b =
        center.addObserver(QStringLiteral("clockTicked"), &sender, [&](const Notification& n) {
            oneSender.push_back(n.userInfo.value(QStringLiteral("progress")));
        });

    center.postNotification(QStringLiteral("clockTicked"), &sender,
                            {{QStringLiteral("progress"), 42}});
    center.postNotification(QStringLiteral("clockTicked"), &other);
    center.postNotification(QStringLiteral("fontChanged"), &sender);
    // Delivered before postNotification returns.
    EXPECT_EQ(anySender.size(), 2u);
    ASSERT_EQ(oneSender.size(), 1u);
    EXPECT_EQ(oneSender[0].toInt(), 42);

    center.removeObserver(a);
    center.postNotification(QStringLiteral("clockTicked"), &sender);
    EXPECT_EQ(anySender.size(), 2u);
    EXPECT_EQ(oneSender.size(), 2u);
    center.removeObserver(b);
}

TEST(NotificationCenter, ObserversMayPostAndRegisterWhileBeingCalled) {
    NotificationCenter center;
    int inner = 0;
    center.addObserver(QStringLiteral("outer"), nullptr, [&](const Notification&) {
        center.addObserver(QStringLiteral("inner"), nullptr, [&](const Notification&) { ++inner; });
        center.postNotification(QStringLiteral("inner"));
    });
    center.postNotification(QStringLiteral("outer"));
    EXPECT_EQ(inner, 1);
}

TEST(NotificationCenter, PostsFromManyThreadsAreDeliveredOnThePostingThread) {
    NotificationCenter center;
    std::atomic<int> delivered{0};
    std::atomic<int> wrongThread{0};
    thread_local int threadMarker = 0;
    center.addObserver(QStringLiteral("OldDataImporting"), nullptr, [&](const Notification& n) {
        if (n.userInfo.value(QStringLiteral("thread")).toInt() != threadMarker) {
            ++wrongThread;
        }
        ++delivered;
    });
    std::vector<std::thread> threads;
    for (int t = 1; t <= 4; ++t) {
        threads.emplace_back([&, t] {
            threadMarker = t;
            for (int i = 0; i < 500; ++i) {
                center.postNotification(QStringLiteral("OldDataImporting"), nullptr,
                                        {{QStringLiteral("thread"), t}});
                if (i % 50 == 0) {
                    // Registering concurrently with posting must be safe too.
                    const int token = center.addObserver(QStringLiteral("other"), nullptr,
                                                         [](const Notification&) {});
                    center.removeObserver(token);
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(delivered.load(), 2000);
    EXPECT_EQ(wrongThread.load(), 0);
}

} // namespace
} // namespace quillet
