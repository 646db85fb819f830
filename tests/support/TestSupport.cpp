#include "TestSupport.h"

#include "core/Alerts.h"
#include "core/Application.h"
#include "core/Log.h"

#include <QMutex>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <ctime>

namespace quillet::test {

namespace {
std::atomic<int> g_terminates{0};
}

CountingAlerts& alerts() {
    static CountingAlerts a;
    return a;
}

int terminateCount() {
    return g_terminates.load();
}

void installTestDefaults() {
    Alerts::setPresenter(&alerts());
    Application::setTerminateHandler([] { ++g_terminates; });
}

struct LogCapture::Shared {
    QMutex mutex;
    QStringList lines;
};

LogCapture::LogCapture() : shared_(new Shared) {
    Shared* shared = shared_;
    token_ = Log::addSink([shared](const QString& line) {
        QMutexLocker lock(&shared->mutex);
        shared->lines.append(line);
    });
}

LogCapture::~LogCapture() {
    Log::removeSink(token_);
    delete shared_;
}

QStringList LogCapture::lines() const {
    QMutexLocker lock(&shared_->mutex);
    return shared_->lines;
}

int LogCapture::count(const QString& line) const {
    return int(lines().count(line));
}

ScopedEnv::ScopedEnv(const char* name, std::optional<QByteArray> value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = QByteArray(old);
    }
    if (value) {
        setenv(name, value->constData(), 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    restore();
}

void ScopedEnv::restore() {
    if (restored_) {
        return;
    }
    restored_ = true;
    if (old_) {
        setenv(name_.constData(), old_->constData(), 1);
    } else {
        unsetenv(name_.constData());
    }
}

ScopedTimeZone::ScopedTimeZone(const char* zone) : env_("TZ", QByteArray(zone)) {
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    env_.restore();
    tzset();
}

QString makeTempDir() {
    // Lives until the process ends: test folders sit under the throw-away home.
    auto* dir = new QTemporaryDir;
    dir->setAutoRemove(true);
    return dir->path();
}

} // namespace quillet::test
