#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace quillet {

// For tools/launch-time, which reads the lines it prints: installed as the
// main window's event filter, it prints the wall-clock times of the first
// paint, of the main loop's first wait after it (free for the user) and of
// its first wait once everything is in, then the resident memory and its
// peak and the longest the loop stayed busy, and quits. The diary and
// tools/bare-window share it, so that their figures compare.
class LaunchProbe : public QObject {
public:
    // everythingIn: whether all the window waits for has arrived.
    explicit LaunchProbe(std::function<bool()> everythingIn, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintDone();
    void loopWaits();

    std::function<bool()> everythingIn_;
    bool free_ = false;
    bool done_ = false;
    static constexpr int kTick = 2; // ms
    QTimer ticker_;
    long long last_ = 0;
    long long longestBusy_ = 0;
};

} // namespace quillet
