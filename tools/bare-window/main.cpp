// The yardstick for the diary's launch time: an empty main window, shown the
// same way and watched by the same probe, that prints the time of its first
// paint and of the main loop's first wait after it, its resident memory and
// peak, and quits.
#include "core/LaunchProbe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1000, 700);
    // Nothing comes in after the paint: the first wait is the last.
    quillet::LaunchProbe probe([] { return true; });
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}
