#pragma once

#include <QString>
#include <functional>

namespace quillet {

// The diary's log: every line goes to stderr and to the system log, with the
// exact texts the callers give. Tests may add a sink to read the lines back.
class Log {
public:
    static void write(const QString& line);

    using Sink = std::function<void(const QString&)>;
    // Adds a sink that sees every later line; returns a token for removeSink.
    static int addSink(Sink sink);
    static void removeSink(int token);
};

} // namespace quillet
