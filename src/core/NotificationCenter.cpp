#include "core/NotificationCenter.h"

#include <algorithm>

namespace quillet {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

int NotificationCenter::addObserver(const QString& name, const void* object, Observer observer) {
    QMutexLocker lock(&mutex_);
    const int token = nextToken_++;
    entries_.push_back({token, name, object, std::make_shared<Observer>(std::move(observer))});
    return token;
}

void NotificationCenter::removeObserver(int token) {
    QMutexLocker lock(&mutex_);
    std::erase_if(entries_, [token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::postNotification(const QString& name, const void* object,
                                          const QVariantMap& userInfo) {
    // Observers run outside the lock, so that they may post or register in turn.
    std::vector<std::shared_ptr<Observer>> matching;
    {
        QMutexLocker lock(&mutex_);
        for (const Entry& e : entries_) {
            if (e.name == name && (e.object == nullptr || e.object == object)) {
                matching.push_back(e.observer);
            }
        }
    }
    const Notification note{name, object, userInfo};
    for (const auto& observer : matching) {
        (*observer)(note);
    }
}

} // namespace quillet
