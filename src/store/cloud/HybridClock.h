#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QUuid>
#include <compare>

namespace quillet::cloud {

// One change's place in the order every machine agrees on: a hybrid logical
// clock (wall milliseconds in the high 48 bits, a counter in the low 16) and
// the writer that made it, which breaks ties. The null stamp is older than
// every change.
struct Stamp {
    quint64 clock = 0;
    QUuid writer;

    bool isNull() const { return clock == 0 && writer.isNull(); }
    bool operator==(const Stamp&) const = default;
    std::strong_ordering operator<=>(const Stamp& other) const {
        if (clock != other.clock) {
            return clock <=> other.clock;
        }
        const QByteArray a = writer.toRfc4122();
        const QByteArray b = other.writer.toRfc4122();
        const int c = a.compare(b);
        return c < 0 ? std::strong_ordering::less
                     : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
    }
};

// The next clock after `last`: the wall clock when it is ahead, otherwise one
// step past the last one seen, so that a change is always newer than every
// change its writer had seen, whatever the machines' clocks say.
inline quint64 nextClock(quint64 last,
                         qint64 wallMilliseconds = QDateTime::currentMSecsSinceEpoch()) {
    const quint64 wall = quint64(wallMilliseconds > 0 ? wallMilliseconds : 0) << 16;
    return wall > last ? wall : last + 1;
}

} // namespace quillet::cloud
