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
    explicit TerminationSignalWatcher(QObject* parent = nullptr);
    ~TerminationSignalWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quillet
