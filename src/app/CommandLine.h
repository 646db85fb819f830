#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quillet {

// Who is being started: an edition's names and the version it was built as.
struct LaunchIdentity {
    QString name;       // "Quillet2"
    QString executable; // "quillet2", as the usage line shows it
    QString version;    // "2.0"
};

// What a launch does, decided from its arguments and environment before Qt is
// started, so that --help, --version and a missing display are answered
// without Qt opening (or failing to open) a display.
struct LaunchRequest {
    // Task: --import PATH or --export FORMAT FILE, done without a window.
    enum class Action { Run, Print, Refuse, Task };
    Action action = Action::Run;
    QString text; // for Print the text for stdout, for Refuse the message for stderr
    int exitCode = 0;
    QStringList task = {}; // for Task: "import", PATH or "export", FORMAT, FILE
};

namespace CommandLine {

// The program's own options are -h/--help, -v/--version, --import PATH and
// --export markdown|json|pdf FILE; every other
// argument is left to Qt (-platform, -display, -style, -session, ...), which
// takes what it knows while the application object is built.
LaunchRequest parse(const QStringList& arguments, const LaunchIdentity& identity,
                    const QProcessEnvironment& environment);

// Refuses a launch that has nowhere to keep the settings and the diary:
// neither an absolute HOME nor absolute XDG_CONFIG_HOME and XDG_DATA_HOME.
// Without them the paths would start at the root of the file system.
LaunchRequest checkFolders(const LaunchIdentity& identity, const QProcessEnvironment& environment);

// What Qt left over of the arguments (argv[0] excluded): the program takes
// neither files nor other options, so anything here is refused.
LaunchRequest checkLeftovers(const QStringList& leftovers, const LaunchIdentity& identity);

// Whether the platform plugin Qt would choose has something to connect to.
// Platforms that need no display server (offscreen, vnc, eglfs, ...) always
// have; xcb needs DISPLAY or -display, wayland a compositor's socket.
bool hasDisplay(const QStringList& arguments, const QProcessEnvironment& environment);

} // namespace CommandLine

// Turns Qt's abort when the platform plugin cannot start (a display that is
// set but cannot be reached) into a message and exit status 1, while alive.
// Other messages pass to the handler that was installed before.
class PlatformStartGuard {
public:
    explicit PlatformStartGuard(const LaunchIdentity& identity);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

} // namespace quillet
