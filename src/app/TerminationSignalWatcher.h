#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillet {

// Turns SIGTERM, SIGHUP (the session ending) and SIGINT (Ctrl+C) into a Qt signal on the main
// thread, so that quitting from outside goes through the same saving path as
// the Quit command.
class TerminationSignalWatcher : public QObject {
    Q_OBJECT
public:
    // With a deadline, a process asked to end that has not ended that many
    // seconds later is ended by SIGALRM: a modal alert, a question or a
    // busy main thread never keeps it alive.
    explicit TerminationSignalWatcher(QObject* parent = nullptr, unsigned deadlineSeconds = 0);
    ~TerminationSignalWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quillet
