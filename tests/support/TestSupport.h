#pragma once

#include "core/AlertPresenter.h"
#include "core/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quillet::test {

// Counts the alerts the code under test shows instead of opening dialogs.
class CountingAlerts : public AlertPresenter {
public:
    void presentError(const Error& error) override { errors.push_back(error); }
    void runAlertPanel(const QString& title, const QString& message,
                       const QString& button) override {
        panels.push_back({title, message, button});
    }
    void clear() {
        errors.clear();
        panels.clear();
    }
    std::vector<Error> errors;
    std::vector<QStringList> panels;
};

// Installed by the test main: the counting alerts, and a terminate handler
// that only counts.
void installTestDefaults();
CountingAlerts& alerts();
int terminateCount();

// Collects log lines while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    int count(const QString& line) const;

private:
    int token_;
    struct Shared;
    Shared* shared_;
};

// Sets an environment variable (or unsets it with nullopt) for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value);
    ~ScopedEnv();
    void restore();

private:
    QByteArray name_;
    std::optional<QByteArray> old_;
    bool restored_ = false;
};

// The bundle name (the edition) for a scope.
class ScopedBundleName {
public:
    explicit ScopedBundleName(const QString& name);
    ~ScopedBundleName();

private:
    QString old_;
};

// TZ for a scope, with tzset() on entry and exit.
// Clock::now() answers `now` while in scope.
class ScopedNow {
public:
    explicit ScopedNow(const QDateTime& now) {
        Clock::setNowForTesting([now] { return now; });
    }
    ~ScopedNow() { Clock::setNowForTesting({}); }
};

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();

private:
    ScopedEnv env_;
};

// Runs the main thread's events until `done` holds or the time passes (for
// work that reports back from another thread); false when it never held.
bool waitFor(const std::function<bool()>& done, int milliseconds = 10000);

// A fresh folder under the temporary folder, removed with everything in it
// when the innermost open TempFolderScope closes: the test main keeps one open
// per test (so the folder goes when the test ends, failed or not), per test
// suite and for the whole program.
QString makeTempDir();

// The permission bits of a path (st_mode & 07777); -1 when it is missing.
int modeOf(const QString& path);

// Sets the process's umask for a scope.
class ScopedUmask {
public:
    explicit ScopedUmask(unsigned mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    unsigned old_;
};

// Removes a folder and everything in it, also what a test made read-only or
// unreadable; symbolic links are removed, never followed. True when nothing
// is left.
bool removeFolder(const QString& path);

// Collects the folders makeTempDir makes while it is the innermost open scope
// and removes them when it closes.
class TempFolderScope {
public:
    TempFolderScope();
    ~TempFolderScope();
    TempFolderScope(const TempFolderScope&) = delete;
    TempFolderScope& operator=(const TempFolderScope&) = delete;

    void adopt(const QString& folder);

private:
    QStringList folders_;
};

// File permissions do not bind root, so tests of refused access skip when run
// as root, unless QUILLET_REQUIRE_PERMISSION_TESTS=1 asks for them (CI runs
// them as an ordinary user): then running them as root fails.
bool permissionsBindThisProcess();
bool permissionTestsRequired();

} // namespace quillet::test

#define QUILLET_SKIP_UNLESS_PERMISSIONS_BIND()                                                     \
    do {                                                                                           \
        if (!::quillet::test::permissionsBindThisProcess()) {                                      \
            if (::quillet::test::permissionTestsRequired()) {                                      \
                FAIL() << "permission tests were required but run as root";                        \
            }                                                                                      \
            GTEST_SKIP() << "permissions do not apply to root";                                    \
        }                                                                                          \
    } while (false)
