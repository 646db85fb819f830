#include "TestSupport.h"

#include "core/Alerts.h"
#include "core/Application.h"
#include "core/Bundle.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillet::test {

namespace {

std::atomic<int> g_terminates{0};

// The open scopes, innermost last.
QMutex g_scopesMutex;
std::vector<TempFolderScope*> g_scopes;

// Opens a scope for each test, each test suite and the whole run, so a folder
// goes with whatever made it. The test's own objects are gone by OnTestEnd.
class TempFolderListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestProgramStart(const ::testing::UnitTest&) override { program_.emplace(); }
    void OnTestSuiteStart(const ::testing::TestSuite&) override { suite_.emplace(); }
    void OnTestStart(const ::testing::TestInfo&) override { test_.emplace(); }
    void OnTestEnd(const ::testing::TestInfo&) override { test_.reset(); }
    void OnTestSuiteEnd(const ::testing::TestSuite&) override { suite_.reset(); }
    void OnTestProgramEnd(const ::testing::UnitTest&) override { program_.reset(); }

private:
    std::optional<TempFolderScope> program_;
    std::optional<TempFolderScope> suite_;
    std::optional<TempFolderScope> test_;
};

bool removeTree(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(info.st_mode)) {
        return ::unlink(path.constData()) == 0;
    }
    // A folder made read-only or unreadable must first be opened up to be emptied.
    if ((info.st_mode & S_IRWXU) != S_IRWXU) {
        ::chmod(path.constData(), S_IRWXU);
    }
    if (DIR* dir = ::opendir(path.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") {
                removeTree(path + '/' + name);
            }
        }
        ::closedir(dir);
    }
    return ::rmdir(path.constData()) == 0;
}

} // namespace

CountingAlerts& alerts() {
    static CountingAlerts a;
    return a;
}

int terminateCount() {
    return g_terminates.load();
}

void installTestDefaults() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TempFolderListener);
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

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

ScopedUmask::ScopedUmask(unsigned mask) : old_(::umask(mode_t(mask))) {}

ScopedUmask::~ScopedUmask() {
    ::umask(mode_t(old_));
}

QString makeTempDir() {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillet-test-XXXXXX"));
    if (!dir.isValid()) {
        ADD_FAILURE() << "no temporary folder: " << dir.errorString().toStdString();
        return QString();
    }
    dir.setAutoRemove(false);
    bool unscoped = false;
    {
        QMutexLocker lock(&g_scopesMutex);
        unscoped = g_scopes.empty();
    }
    if (unscoped) {
        // Made before main opened a scope: kept until the process ends.
        static TempFolderScope untilExit;
    }
    QMutexLocker lock(&g_scopesMutex);
    g_scopes.back()->adopt(dir.path());
    return dir.path();
}

bool removeFolder(const QString& path) {
    return !path.isEmpty() && removeTree(QFile::encodeName(path));
}

TempFolderScope::TempFolderScope() {
    QMutexLocker lock(&g_scopesMutex);
    g_scopes.push_back(this);
}

TempFolderScope::~TempFolderScope() {
    {
        QMutexLocker lock(&g_scopesMutex);
        g_scopes.erase(std::remove(g_scopes.begin(), g_scopes.end(), this), g_scopes.end());
    }
    for (const QString& folder : std::as_const(folders_)) {
        if (!removeFolder(folder)) {
            std::fprintf(stderr, "could not remove the test folder %s\n", qPrintable(folder));
        }
    }
}

void TempFolderScope::adopt(const QString& folder) {
    folders_.append(folder);
}

bool permissionsBindThisProcess() {
    return ::geteuid() != 0;
}

bool permissionTestsRequired() {
    return qgetenv("QUILLET_REQUIRE_PERMISSION_TESTS") == "1";
}

ScopedBundleName::ScopedBundleName(const QString& name) : old_(Bundle::mainBundle().bundleName()) {
    Bundle::mainBundle().setBundleName(name);
}

ScopedBundleName::~ScopedBundleName() {
    Bundle::mainBundle().setBundleName(old_);
}

} // namespace quillet::test
