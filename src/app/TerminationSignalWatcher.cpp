#include "app/TerminationSignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace quillet {

namespace {
int g_fds[2] = {-1, -1};
volatile sig_atomic_t g_deadline = 0;

void onSignal(int) {
    if (g_deadline > 0) {
        alarm(unsigned(g_deadline)); // async-signal-safe, unlike starting a thread
    }
    const char byte = 1;
    // Only async-signal-safe work here; the main loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
}
} // namespace

TerminationSignalWatcher::TerminationSignalWatcher(QObject* parent, unsigned deadlineSeconds)
    : QObject(parent) {
    g_deadline = sig_atomic_t(deadlineSeconds);
    signal(SIGALRM, SIG_DFL);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_fds[1], &byte, 1);
        emit terminationRequested();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr); // Ctrl+C in the terminal that started it
}

TerminationSignalWatcher::~TerminationSignalWatcher() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    signal(SIGINT, SIG_DFL);
}

} // namespace quillet
