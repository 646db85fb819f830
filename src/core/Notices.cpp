#include "core/Notices.h"

#include "core/NotificationCenter.h"

namespace quillet::Notices {

void post(const QString& topic, const QString& message) {
    NotificationCenter::defaultCenter().postNotification(
        kNoticePosted, nullptr, {{kNoticeTopicKey, topic}, {kNoticeMessageKey, message}});
}

void withdraw(const QString& topic) {
    post(topic, QString());
}

} // namespace quillet::Notices
