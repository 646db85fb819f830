#pragma once

#include <QObject>
#include <QTimer>

namespace quillet {

// Decides when changes are saved without the user asking: a short pause
// after the last change, and during changes that never pause, no later than
// a longer while after the first unsaved one. So typing reaches the disk
// within a second or two of the pause, and continuous typing at most every
// few seconds, while a burst of keys costs one save, not one each.
class SaveScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 1000;
    static constexpr int kLongestWaitMs = 1500;

    explicit SaveScheduler(QObject* parent = nullptr);
    SaveScheduler(int pauseMs, int longestWaitMs, QObject* parent = nullptr);

    // Something changed that is not saved yet.
    void noteChange();
    // Everything is saved (by the scheduler or otherwise): nothing is due.
    void cancel();
    bool isPending() const { return pause_.isActive(); }

signals:
    // Time to save what changed.
    void saveDue();

private:
    void fire();

    QTimer pause_;
    QTimer longest_;
};

} // namespace quillet
