// How long a window's main loop keeps a user waiting: sends the window a
// _NET_WM_PING every few milliseconds, as a window manager does to find a
// window that hangs, and times each answer. A toolkit answers on its main
// loop, so the slowest answer is the longest stall a key pressed then would
// have met.
//   window-ping WINDOW-ID SECONDS [PERIOD-MS]
// Prints one line per answer later than 10 ms ("late MS at S"), then the
// count of answers, the slowest, and how many were later than 30 ms.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <poll.h>

namespace {

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window-ping WINDOW-ID SECONDS [PERIOD-MS]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const double seconds = std::atof(argv[2]);
    const double period = argc > 3 ? std::atof(argv[3]) : 5.0;
    Display* display = XOpenDisplay(nullptr);
    if (!display || window == 0 || seconds <= 0 || period <= 0) {
        std::fprintf(stderr, "window-ping: no display, window or duration\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // The window answers by sending the ping back to the root window.
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    XFlush(display);

    std::map<long, double> sent; // serial -> when sent
    long serial = 0;
    long answers = 0;
    long over30 = 0;
    double slowest = 0;
    const double start = nowMs();
    double next = start;
    while (true) {
        const double now = nowMs();
        if (now - start > seconds * 1000 && sent.empty()) {
            break;
        }
        if (now - start > seconds * 1000 + 5000) {
            std::printf("unanswered %zu\n", sent.size());
            break;
        }
        if (now >= next && now - start <= seconds * 1000) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(ping);
            event.xclient.data.l[1] = ++serial; // stands in for the timestamp
            event.xclient.data.l[2] = long(window);
            XSendEvent(display, window, False, NoEventMask, &event);
            XFlush(display);
            sent[serial] = now;
            next += period;
            if (next < now) {
                next = now + period;
            }
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != ClientMessage || event.xclient.message_type != protocols ||
                Atom(event.xclient.data.l[0]) != ping) {
                continue;
            }
            const auto it = sent.find(event.xclient.data.l[1]);
            if (it == sent.end()) {
                continue;
            }
            const double late = nowMs() - it->second;
            ++answers;
            slowest = std::max(slowest, late);
            if (late > 30) {
                ++over30;
            }
            if (late > 10) {
                std::printf("late %.1f ms at %.2f s\n", late, (it->second - start) / 1000);
            }
            sent.erase(it);
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        const int wait = int(std::max(0.0, std::min(next - nowMs(), 1.0)) + 0.999);
        poll(&fd, 1, wait);
    }
    std::printf("answers %ld  slowest %.1f ms  over 30 ms %ld\n", answers, slowest, over30);
    XCloseDisplay(display);
    return 0;
}
