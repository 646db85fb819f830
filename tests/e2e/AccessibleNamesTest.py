#!/usr/bin/python3
"""What a screen reader sees: every showing control of the main window has a name.

Run inside its own session bus and X display (see the ctest entry): starts the
accessibility bus and the edition with Qt's accessibility bridge on, walks the
edition's AT-SPI tree and fails on any showing control without a name. Skips
(77) when at-spi2-core or pyatspi is missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("python3-pyatspi is not installed")
    sys.exit(77)

# Roles a user operates; labels, panels, fillers and the like need no name of their own.
CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE,
    pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_SPLIT_PANE,
    pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_LIST_ITEM,
}


def registered():
    return [app for app in pyatspi.Registry.getDesktop(0) if app is not None]


def find_app(name, process, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline and process.poll() is None:
        for app in registered():
            if app.name == name and app.childCount > 0:
                return app
        time.sleep(0.3)
    return None


def unnamed(node, path, found, seen):
    try:
        role = node.getRole()
        states = node.getState()
        showing = states.contains(pyatspi.STATE_SHOWING)
        name = node.name or ""
    except Exception:
        return
    here = f"{path}/{node.getRoleName()}"
    if showing and role in CONTROLS:
        seen.append(f"{here} {name!r}")
        # A glyph alone ("‹") is no name a screen reader can say.
        if not any(c.isalnum() for c in name):
            found.append(f"{here} {name!r}")
    if role == pyatspi.ROLE_MENU_BAR or not showing and role != pyatspi.ROLE_FRAME:
        return
    for i in range(min(node.childCount, 500)):
        child = node.getChildAtIndex(i)
        if child is not None:
            unnamed(child, here, found, seen)


LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def main():
    program = sys.argv[1]
    if not os.access(LAUNCHER, os.X_OK):
        print("at-spi2-core is not installed")
        return 77
    name = subprocess.run([program, "--version"], capture_output=True, text=True,
                          env=dict(os.environ, LANG="C.UTF-8")).stdout.split()[0]
    bus = subprocess.Popen([LAUNCHER, "--launch-immediately"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    # Everything the run makes stays in one folder, removed at the end.
    home = tempfile.mkdtemp(prefix="quillet-atspi-")
    os.mkdir(home + "/runtime", 0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
               XDG_DATA_HOME=home + "/.local/share", XDG_CACHE_HOME=home + "/.cache",
               XDG_RUNTIME_DIR=home + "/runtime",
               QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8", LANGUAGE="")
    try:
        return check(program, name, env)
    finally:
        bus.terminate()
        bus.wait(10)
        shutil.rmtree(home, ignore_errors=True)


def check(program, name, env):
    log = open(env["HOME"] + "/stderr.log", "w+")
    app_process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=log)
    try:
        app = find_app(name, app_process)
        if app is None:
            print(f"{name} never appeared on the accessibility bus; exit status",
                  app_process.poll(), "; registered:",
                  [(a.name, a.childCount) for a in registered()])
            log.seek(0)
            print(log.read()[-4000:])
            return 1
        time.sleep(1.0)  # the first paint and the list's first rows
        found, seen = [], []
        for i in range(app.childCount):
            unnamed(app.getChildAtIndex(i), name, found, seen)
        for path in found:
            print("no accessible name:", path)
        # A tree that came out nearly empty was not read: that is no pass.
        if len(seen) < 10:
            print(f"only {len(seen)} controls were seen:", *seen, sep="\n  ")
            return 1
        if found:
            return 1
        print(f"all {len(seen)} showing controls of {name} have a name")
        if os.environ.get("VERBOSE"):
            print(*seen, sep="\n")
        return 0
    finally:
        app_process.terminate()
        app_process.wait(10)


if __name__ == "__main__":
    sys.exit(main())
