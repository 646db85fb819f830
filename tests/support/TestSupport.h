#pragma once

#include "core/AlertPresenter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillet::test {

// Counts the alerts the code under test shows instead of opening dialogs.
class CountingAlerts : public AlertPresenter {
public:
    void presentError(const Error& error) override { errors.push_back(error); }
    void runAlertPanel(const QString& title, const QString& message, const QString& button) override {
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

// TZ for a scope, with tzset() on entry and exit.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();

private:
    ScopedEnv env_;
};

// A fresh folder, removed at the end of the scope.
QString makeTempDir();

} // namespace quillet::test
