#pragma once

#include <QDateTime>
#include <functional>

namespace quillet {

// The current date and time; tests set a fixed one.
class Clock {
public:
    static QDateTime now();
    // An empty function returns to the real clock.
    static void setNowForTesting(std::function<QDateTime()> now);
};

} // namespace quillet
