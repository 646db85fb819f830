#include "app/CommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace quillet {

namespace {

QString helpText(const LaunchIdentity& identity) {
    return QStringLiteral(
               "Usage: %1 [options]\n"
               "%2, a desktop diary: dated entries with a color tag, browsed by month, year\n"
               "and color, and searched across all months.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Show this help and exit.\n"
               "  -v, --version  Show the name and version and exit.\n"
               "  --import PATH  Import another diary into this one without a window: an\n"
               "                 Almanah diary.db, a RedNotebook data folder, a jrnl journal\n"
               "                 or JSON export, a Day One export (zip or JSON), or a JSON\n"
               "                 export of %2. When %2 is open, its window takes the import.\n"
               "  --export markdown|json|pdf FILE\n"
               "                 Write the whole diary to FILE without a window.\n"
               "\n"
               "Qt's own options work as well, among them -platform NAME, -display DISPLAY\n"
               "and -style STYLE.\n"
               "\n"
               "The diary lives in $XDG_DATA_HOME/%2 (by default ~/.local/share/%2).\n")
        .arg(identity.executable, identity.name);
}

// The value after an option Qt reads as "-name value" or "--name value".
QString qtOptionValue(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1Char('-') + name || argument == QLatin1String("--") + name) {
            return arguments.at(i + 1);
        }
    }
    return {};
}

bool isSet(const QProcessEnvironment& environment, const QString& name) {
    return !environment.value(name).isEmpty();
}

// libwayland connects to $WAYLAND_DISPLAY, or to "wayland-0" in the runtime
// folder when that is unset.
bool hasWaylandDisplay(const QProcessEnvironment& environment) {
    if (isSet(environment, QStringLiteral("WAYLAND_DISPLAY"))) {
        return true;
    }
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    return !runtime.isEmpty() &&
           QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("wayland-0")));
}

bool hasX11Display(const QStringList& arguments, const QProcessEnvironment& environment) {
    return isSet(environment, QStringLiteral("DISPLAY")) ||
           !qtOptionValue(arguments, QStringLiteral("display")).isEmpty();
}

// The platforms Qt is told to try, in order: -platform wins over
// QT_QPA_PLATFORM; each entry may carry ":options". Empty when Qt picks its
// default.
QStringList requestedPlatforms(const QStringList& arguments, const QProcessEnvironment& environment,
                               QString* source) {
    QString list = qtOptionValue(arguments, QStringLiteral("platform"));
    *source = QStringLiteral("-platform");
    if (list.isEmpty()) {
        list = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
        *source = QStringLiteral("QT_QPA_PLATFORM");
    }
    QStringList platforms;
    for (const QString& entry : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
        if (!name.isEmpty()) {
            platforms.append(name);
        }
    }
    return platforms;
}

bool platformHasDisplay(const QString& platform, const QStringList& arguments,
                        const QProcessEnvironment& environment) {
    if (platform == QLatin1String("xcb")) {
        return hasX11Display(arguments, environment);
    }
    if (platform.startsWith(QLatin1String("wayland"))) {
        return hasWaylandDisplay(environment);
    }
    // offscreen, minimal, vnc, eglfs, linuxfb and the like draw without a
    // display server.
    return true;
}

QString noDisplayMessage(const QStringList& arguments, const LaunchIdentity& identity,
                         const QProcessEnvironment& environment) {
    QString source;
    const QStringList platforms = requestedPlatforms(arguments, environment, &source);
    QString reason;
    if (platforms.isEmpty()) {
        reason = QStringLiteral("no display is set (DISPLAY and WAYLAND_DISPLAY are empty)");
    } else {
        QStringList missing;
        if (platforms.contains(QLatin1String("xcb"))) {
            missing.append(QStringLiteral("DISPLAY"));
        }
        for (const QString& platform : platforms) {
            if (platform.startsWith(QLatin1String("wayland"))) {
                missing.append(QStringLiteral("WAYLAND_DISPLAY"));
                break;
            }
        }
        reason = QStringLiteral("no display is set for the platform \"%1\" named by %2 (%3 %4)")
                     .arg(platforms.join(QLatin1Char(';')), source,
                          missing.join(QStringLiteral(" and ")),
                          missing.size() == 1 ? QStringLiteral("is empty")
                                              : QStringLiteral("are empty"));
    }
    return QStringLiteral("%1: cannot open the %2 window: %3.\n"
                          "Start %2 in a desktop session, or set DISPLAY (X11) or WAYLAND_DISPLAY "
                          "(Wayland).\n")
        .arg(identity.executable, identity.name, reason);
}

} // namespace

bool CommandLine::hasDisplay(const QStringList& arguments, const QProcessEnvironment& environment) {
    QString source;
    const QStringList platforms = requestedPlatforms(arguments, environment, &source);
    if (platforms.isEmpty()) {
        return hasX11Display(arguments, environment) || hasWaylandDisplay(environment);
    }
    for (const QString& platform : platforms) {
        if (platformHasDisplay(platform, arguments, environment)) {
            return true;
        }
    }
    return false;
}

LaunchRequest CommandLine::parse(const QStringList& arguments, const LaunchIdentity& identity,
                                 const QProcessEnvironment& environment) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            return {LaunchRequest::Action::Print, helpText(identity), 0};
        }
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            return {LaunchRequest::Action::Print,
                    QStringLiteral("%1 %2\n").arg(identity.name, identity.version), 0};
        }
    }
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const auto missing = [&](const QString& what) {
            return LaunchRequest{
                LaunchRequest::Action::Refuse,
                QStringLiteral("%1: %2 needs %3\nTry \"%1 --help\" for the options.\n")
                    .arg(identity.executable, argument, what),
                2};
        };
        if (argument == QLatin1String("--import")) {
            if (i + 1 >= arguments.size()) {
                return missing(QStringLiteral("the path of a diary file or folder"));
            }
            return {LaunchRequest::Action::Task,
                    {},
                    0,
                    {QStringLiteral("import"), arguments.at(i + 1)}};
        }
        if (argument == QLatin1String("--export")) {
            static const QStringList formats = {QStringLiteral("markdown"), QStringLiteral("json"),
                                                QStringLiteral("pdf")};
            if (i + 2 >= arguments.size() || !formats.contains(arguments.at(i + 1))) {
                return missing(QStringLiteral("a format (markdown, json or pdf) and a file"));
            }
            return {LaunchRequest::Action::Task,
                    {},
                    0,
                    {QStringLiteral("export"), arguments.at(i + 1), arguments.at(i + 2)}};
        }
    }
    if (!hasDisplay(arguments, environment)) {
        return {LaunchRequest::Action::Refuse, noDisplayMessage(arguments, identity, environment),
                1};
    }
    return {};
}

LaunchRequest CommandLine::checkFolders(const LaunchIdentity& identity,
                                        const QProcessEnvironment& environment) {
    // The XDG rule: only an absolute path counts; a relative one is ignored.
    const auto absolute = [&environment](const char* name) {
        return environment.value(QString::fromLatin1(name)).startsWith(QLatin1Char('/'));
    };
    if (absolute("HOME") || (absolute("XDG_CONFIG_HOME") && absolute("XDG_DATA_HOME"))) {
        return {};
    }
    return {LaunchRequest::Action::Refuse,
            QStringLiteral("%1: cannot start %2: there is no folder to keep its settings and "
                           "diary in: HOME is not set to an absolute path, and XDG_CONFIG_HOME "
                           "and XDG_DATA_HOME do not both name one.\n"
                           "Set HOME to your home folder and start %2 again.\n")
                .arg(identity.executable, identity.name),
            1};
}

LaunchRequest CommandLine::checkLeftovers(const QStringList& leftovers,
                                          const LaunchIdentity& identity) {
    if (leftovers.isEmpty()) {
        return {};
    }
    const QString& first = leftovers.constFirst();
    const QString what = first.startsWith(QLatin1Char('-')) ? QStringLiteral("unknown option")
                                                            : QStringLiteral("unexpected argument");
    return {LaunchRequest::Action::Refuse,
            QStringLiteral("%1: %2 \"%3\"\nTry \"%1 --help\" for the options.\n")
                .arg(identity.executable, what, first),
            2};
}

namespace {
QtMessageHandler g_previousHandler = nullptr;
QByteArray g_startingExecutable;
QByteArray g_startingName;

void onPlatformStartMessage(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type != QtFatalMsg) {
        g_previousHandler(type, context, message);
        return;
    }
    // Qt is about to abort ("no Qt platform plugin could be initialized"):
    // show its reason, then leave as a failed start rather than a crash.
    g_previousHandler(QtCriticalMsg, context, message);
    const auto shown = [](const char* name) {
        const QByteArray value = qgetenv(name);
        return value.isEmpty() ? QByteArray("<unset>") : value;
    };
    std::fprintf(stderr,
                 "%s: cannot open the %s window: the display could not be used (DISPLAY=%s, "
                 "WAYLAND_DISPLAY=%s); Qt's reason is above.\n",
                 g_startingExecutable.constData(), g_startingName.constData(),
                 shown("DISPLAY").constData(), shown("WAYLAND_DISPLAY").constData());
    std::fflush(stderr);
    std::_Exit(1);
}
} // namespace

PlatformStartGuard::PlatformStartGuard(const LaunchIdentity& identity) {
    g_startingExecutable = identity.executable.toLocal8Bit();
    g_startingName = identity.name.toLocal8Bit();
    g_previousHandler = qInstallMessageHandler(onPlatformStartMessage);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
}

} // namespace quillet
