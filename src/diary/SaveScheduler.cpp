#include "diary/SaveScheduler.h"

namespace quillet {

SaveScheduler::SaveScheduler(QObject* parent) : SaveScheduler(kPauseMs, kLongestWaitMs, parent) {}

SaveScheduler::SaveScheduler(int pauseMs, int longestWaitMs, QObject* parent) : QObject(parent) {
    pause_.setSingleShot(true);
    pause_.setInterval(pauseMs);
    longest_.setSingleShot(true);
    longest_.setInterval(longestWaitMs);
    connect(&pause_, &QTimer::timeout, this, &SaveScheduler::fire);
    connect(&longest_, &QTimer::timeout, this, &SaveScheduler::fire);
}

void SaveScheduler::noteChange() {
    pause_.start();
    if (!longest_.isActive()) {
        longest_.start();
    }
}

void SaveScheduler::cancel() {
    pause_.stop();
    longest_.stop();
}

void SaveScheduler::fire() {
    cancel();
    emit saveDue();
}

} // namespace quillet
