#include "TestSupport.h"

#include "DiaryFiles.h"
#include "app/CommandLine.h"
#include "app/InstanceHandover.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace quillet;
using Action = LaunchRequest::Action;

namespace {

const LaunchIdentity kIdentity{QStringLiteral("Quillet2"), QStringLiteral("quillet2"),
                               QStringLiteral("2.0")};

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> values) {
    QProcessEnvironment result;
    for (const auto& [name, value] : values) {
        result.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    }
    return result;
}

QStringList arguments(std::initializer_list<const char*> values) {
    QStringList result{QStringLiteral("/usr/bin/quillet2")};
    for (const char* value : values) {
        result.append(QString::fromLatin1(value));
    }
    return result;
}

struct Finished {
    int code;
    QString out, err;
};

// The built edition run to its end, the event loop turning meanwhile (a
// handover waits for this side's answer); a run past a minute fails.
Finished runEdition(const QStringList& args, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUILLET_EDITION_BINARY), args);
    QElapsedTimer waited;
    waited.start();
    while (!process.waitForFinished(10) && waited.elapsed() < 60000) {
        QCoreApplication::processEvents();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "the edition did not end: " << args.join(' ').toStdString();
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "the edition crashed";
    return Finished{process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                    QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CommandLine, HelpAndVersionAreAnsweredWithoutADisplay) {
    const QProcessEnvironment none;

    const LaunchRequest version = CommandLine::parse(arguments({"--version"}), kIdentity, none);
    EXPECT_EQ(version.action, Action::Print);
    EXPECT_EQ(version.text, QStringLiteral("Quillet2 2.0\n"));
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(CommandLine::parse(arguments({"-v"}), kIdentity, none).text, version.text);

    const LaunchRequest help = CommandLine::parse(arguments({"--help"}), kIdentity, none);
    EXPECT_EQ(help.action, Action::Print);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("Usage: quillet2 [options]\n")));
    EXPECT_TRUE(help.text.contains(QStringLiteral("--version")));
    EXPECT_TRUE(help.text.contains(QStringLiteral("~/.local/share/Quillet2")));

    // The first of the two wins, also behind options meant for Qt.
    EXPECT_EQ(
        CommandLine::parse(arguments({"-style", "Fusion", "-h", "--version"}), kIdentity, none)
            .text,
        help.text);
    EXPECT_EQ(CommandLine::parse(arguments({"--version", "--help"}), kIdentity, none).text,
              version.text);
}

TEST(CommandLine, ADisplayIsFoundWhereTheChosenPlatformLooksForIt) {
    const auto has = [](const QStringList& args, const QProcessEnvironment& env) {
        return CommandLine::hasDisplay(args, env);
    };
    const struct {
        QStringList args;
        QProcessEnvironment env;
        bool found;
    } cases[] = {
        // Qt's default platform: X11 or Wayland, whichever is there.
        {arguments({}), environment({}), false},
        {arguments({}), environment({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}), false},
        {arguments({}), environment({{"DISPLAY", ":0"}}), true},
        {arguments({}), environment({{"WAYLAND_DISPLAY", "wayland-1"}}), true},
        {arguments({"-display", ":3"}), environment({}), true},
        {arguments({"--display", ":3"}), environment({}), true},
        // Platforms without a display server, with and without plugin options.
        {arguments({}), environment({{"QT_QPA_PLATFORM", "offscreen"}}), true},
        {arguments({}), environment({{"QT_QPA_PLATFORM", "vnc:size=800x600"}}), true},
        // A named platform needs its own kind of display; a list needs one of them.
        {arguments({}), environment({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}), false},
        {arguments({}), environment({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}), false},
        {arguments({}), environment({{"QT_QPA_PLATFORM", "wayland-egl"}}), false},
        {arguments({}), environment({{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}), true},
        {arguments({}), environment({{"QT_QPA_PLATFORM", "wayland;xcb"}}), false},
        // -platform overrides QT_QPA_PLATFORM, both ways.
        {arguments({"-platform", "offscreen"}), environment({{"QT_QPA_PLATFORM", "xcb"}}), true},
        {arguments({"--platform", "xcb"}), environment({{"QT_QPA_PLATFORM", "offscreen"}}), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(has(c.args, c.env), c.found) << c.args.join(' ').toStdString() << " "
                                               << c.env.toStringList().join(' ').toStdString();
    }

    // Without WAYLAND_DISPLAY, libwayland tries the runtime folder's "wayland-0".
    const QString runtime = test::makeTempDir();
    const auto wayland = environment({{"QT_QPA_PLATFORM", "wayland"}});
    auto withRuntime = wayland;
    withRuntime.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    EXPECT_FALSE(has(arguments({}), withRuntime));
    QFile socket(QDir(runtime).filePath(QStringLiteral("wayland-0")));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();
    EXPECT_TRUE(has(arguments({}), withRuntime));
    EXPECT_FALSE(has(arguments({}), wayland));
}

TEST(CommandLine, WithoutADisplayTheLaunchIsRefusedNamingWhatIsMissing) {
    const LaunchRequest bare = CommandLine::parse(arguments({}), kIdentity, environment({}));
    EXPECT_EQ(bare.action, Action::Refuse);
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_TRUE(bare.text.startsWith(QStringLiteral("quillet2: cannot open the Quillet2 window: ")))
        << bare.text.toStdString();
    EXPECT_TRUE(bare.text.contains(QStringLiteral("DISPLAY and WAYLAND_DISPLAY are empty")));

    const LaunchRequest named =
        CommandLine::parse(arguments({}), kIdentity,
                           environment({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}));
    EXPECT_EQ(named.action, Action::Refuse);
    EXPECT_TRUE(named.text.contains(
        QStringLiteral("the platform \"xcb\" named by QT_QPA_PLATFORM (DISPLAY is empty)")))
        << named.text.toStdString();

    const LaunchRequest option =
        CommandLine::parse(arguments({"-platform", "wayland"}), kIdentity, environment({}));
    EXPECT_TRUE(option.text.contains(
        QStringLiteral("the platform \"wayland\" named by -platform (WAYLAND_DISPLAY is empty)")))
        << option.text.toStdString();

    const LaunchRequest run = CommandLine::parse(arguments({"-style", "Fusion"}), kIdentity,
                                                 environment({{"DISPLAY", ":0"}}));
    EXPECT_EQ(run.action, Action::Run);
}

TEST(CommandLine, WhatQtLeavesOverIsRefused) {
    EXPECT_EQ(CommandLine::checkLeftovers({}, kIdentity).action, Action::Run);

    const LaunchRequest option =
        CommandLine::checkLeftovers({QStringLiteral("--bogus"), QStringLiteral("x")}, kIdentity);
    EXPECT_EQ(option.action, Action::Refuse);
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_EQ(option.text, QStringLiteral("quillet2: unknown option \"--bogus\"\n"
                                          "Try \"quillet2 --help\" for the options.\n"));

    const LaunchRequest file =
        CommandLine::checkLeftovers({QStringLiteral("notes.txt")}, kIdentity);
    EXPECT_EQ(file.action, Action::Refuse);
    EXPECT_TRUE(
        file.text.startsWith(QStringLiteral("quillet2: unexpected argument \"notes.txt\"")));
}

// The built edition, started as a user would: it answers before Qt needs a
// display, and without a display or a home fails with a message and status
// 1, not Qt's abort, and writes nothing (without HOME and the XDG folders
// the settings would go to /Quillet2/Quillet2.conf).
TEST(CommandLine, TheEditionAnswersAndFailsWithoutADisplayOrAHomeLikeACommand) {
    QProcessEnvironment homeless;
    homeless.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    homeless.insert(QStringLiteral("QUILLET_NO_SYSLOG"), QStringLiteral("1"));
    auto base = homeless;
    base.insert(QStringLiteral("HOME"), test::makeTempDir());
    // A display that is set but cannot be reached is found out only by Qt.
    auto unreachable = base;
    unreachable.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    unreachable.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9731"));
    homeless.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const bool rootSettingsBefore = QFileInfo::exists(QStringLiteral("/Quillet2"));
    const struct {
        QStringList args;
        QProcessEnvironment env;
        int code;
        QString says;
    } cases[] = {
        {{QStringLiteral("--version")}, base, 0, QStringLiteral("Quillet2 " QUILLET_VERSION "\n")},
        {{}, base, 1, QStringLiteral("quillet2: cannot open the Quillet2 window")},
        {{},
         unreachable,
         1,
         QStringLiteral("quillet2: cannot open the Quillet2 window: the display could not be "
                        "used (DISPLAY=:9731")},
        {{}, homeless, 1, QStringLiteral("quillet2: cannot start Quillet2: there is no folder")},
    };
    for (const auto& c : cases) {
        const Finished done = runEdition(c.args, c.env);
        EXPECT_EQ(done.code, c.code) << done.err.toStdString();
        EXPECT_TRUE(c.code == 0 ? done.out == c.says : done.err.contains(c.says))
            << done.out.toStdString() << done.err.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists(QStringLiteral("/Quillet2")), rootSettingsBefore);
}

// With neither HOME nor the XDG folders every path would start at "/".
TEST(CommandLine, WithoutAHomeTheLaunchIsRefusedBeforeAnythingIsWritten) {
    const LaunchRequest bare =
        CommandLine::checkFolders(kIdentity, environment({{"DISPLAY", ":0"}}));
    EXPECT_EQ(bare.action, Action::Refuse);
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_TRUE(
        bare.text.startsWith(QStringLiteral("quillet2: cannot start Quillet2: there is no folder "
                                            "to keep its settings and diary in: HOME")))
        << bare.text.toStdString();
    EXPECT_TRUE(bare.text.endsWith(QLatin1Char('\n')));
    for (const auto& refused : {environment({{"HOME", "relative/home"}}),
                                environment({{"HOME", ""}, {"XDG_CONFIG_HOME", "/c"}}),
                                environment({{"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", "c"}})}) {
        EXPECT_EQ(CommandLine::checkFolders(kIdentity, refused).action, Action::Refuse);
    }
    EXPECT_EQ(CommandLine::checkFolders(kIdentity, environment({{"HOME", "/home/anna"}})).action,
              Action::Run);
    EXPECT_EQ(CommandLine::checkFolders(
                  kIdentity, environment({{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}}))
                  .action,
              Action::Run);
}

// --import and --export run on the user's diary without a window or a
// display, and an import goes to the window when the diary is open in one.
TEST(CommandLine, TheEditionImportsAndExportsWithoutAWindowOrHandsTheImportToIt) {
    const QString home = test::makeTempDir();
    const QString fixtures = QStringLiteral(QUILLET_IMPORT_FIXTURES);
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("QUILLET_NO_SYSLOG"), QStringLiteral("1"));
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    const auto run = [&](const QStringList& args, int code, const QString& says) {
        const Finished done = runEdition(args, env);
        const QString out = done.out + done.err;
        EXPECT_EQ(done.code, code) << args.join(' ').toStdString() << "\n" << out.toStdString();
        EXPECT_TRUE(out.contains(says)) << out.toStdString();
    };
    QFile::copy(QStringLiteral("/etc/passwd"), home + QStringLiteral("/passwd"));
    const QString md = home + QStringLiteral("/d.md"), json = home + QStringLiteral("/d.json"),
                  pdf = home + QStringLiteral("/d.pdf");
    const struct {
        QStringList args;
        int code;
        QString says;
    } cases[] = {
        {{"--import", fixtures + "/journal.txt"},
         0,
         "jrnl: 3 imported, 0 already there, 0 skipped"},
        // The same day and the same text from another diary is there already too.
        {{"--import", fixtures + "/dayone.zip"}, 0, "Day One: 2 imported, 1 already there"},
        {{"--import", home + "/passwd"}, 1, "none of the diaries that can be imported"},
        {{"--import"}, 2, "--import needs the path"},
        {{"--export", "markdown", md}, 0, "5 entries written"},
        {{"--export", "json", json}, 0, "5 entries written"},
        {{"--export", "pdf", pdf}, 0, "5 entries written"},
        {{"--export", "pdf"}, 2, "needs a format (markdown, json or pdf) and a file"},
    };
    for (const auto& c : cases) {
        run(c.args, c.code, c.says);
    }
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) is needed";
    const QString pdfText = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& file : {QString::fromUtf8(test::readBytes(md)), pdfText}) {
        EXPECT_EQ(file.count(QStringLiteral("Leap day in Z\u00fcrich")), 2) << file.toStdString();
        EXPECT_EQ(file.count(QStringLiteral("right to left")), 2);
        EXPECT_EQ(file.count(QStringLiteral("three lines")), 1);
    }

    InstanceHandover window;
    ASSERT_TRUE(window.listen(InstanceHandover::serverName(QStringLiteral("Quillet2"),
                                                           home + QStringLiteral("/data"), home)));
    QString handed;
    QString refusal;
    window.importHandler = [&](const QString& path) {
        handed = path;
        return refusal;
    };
    run({"--import", fixtures + "/../fixtures/jrnl.json"}, 0, "its window took the import");
    EXPECT_EQ(handed, QDir::cleanPath(fixtures + "/jrnl.json"));
    refusal = QStringLiteral("its window is locked behind the passcode");
    run({"--import", fixtures + "/jrnl.json"}, 1,
        "did not take the import: its window is locked behind the passcode");
}
