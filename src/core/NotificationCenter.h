#pragma once

#include "core/Notification.h"

#include <QMutex>
#include <functional>
#include <vector>

namespace quillet {

// Named notifications delivered synchronously, on the posting thread, to the
// observers registered for that name and for any sender or for one object.
// Posting and registering are safe from any thread.
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // object null: notifications of that name from any sender. Returns a token.
    int addObserver(const QString& name, const void* object, Observer observer);
    void removeObserver(int token);

    void postNotification(const QString& name, const void* object = nullptr,
                          const QVariantMap& userInfo = {});

private:
    struct Entry {
        int token;
        QString name;
        const void* object;
        std::shared_ptr<Observer> observer;
    };
    QMutex mutex_;
    std::vector<Entry> entries_;
    int nextToken_ = 1;
};

} // namespace quillet
