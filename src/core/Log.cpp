#include "core/Log.h"

#include "core/Bundle.h"

#include <QMutex>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <syslog.h>

namespace quillet {

namespace {
struct LogState {
    QMutex mutex;
    std::map<int, Log::Sink> sinks;
    int nextToken = 1;
    bool syslogOpen = false;
    QByteArray ident;
};

LogState& state() {
    static LogState s;
    return s;
}
} // namespace

void Log::write(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::map<int, Sink> sinks;
    {
        LogState& s = state();
        QMutexLocker lock(&s.mutex);
        std::fprintf(stderr, "%s\n", utf8.constData());
        std::fflush(stderr);
        if (!std::getenv("QUILLET_NO_SYSLOG")) {
            if (!s.syslogOpen) {
                const QString name = Bundle::mainBundle().bundleName();
                s.ident = (name.isEmpty() ? QStringLiteral("quillet") : name).toUtf8();
                openlog(s.ident.constData(), LOG_PID, LOG_USER);
                s.syslogOpen = true;
            }
            syslog(LOG_NOTICE, "%s", utf8.constData());
        }
        sinks = s.sinks;
    }
    for (auto& [token, sink] : sinks) {
        sink(line);
    }
}

int Log::addSink(Sink sink) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    const int token = s.nextToken++;
    s.sinks.emplace(token, std::move(sink));
    return token;
}

void Log::removeSink(int token) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    s.sinks.erase(token);
}

} // namespace quillet
