#!/usr/bin/python3
"""Runs a command on an X display of its own: WithXvfb.py COMMAND [ARG...]

Xvfb picks the free display number itself (-displayfd) and says it once it
accepts connections, so two runs never pick the same one. The server is
stopped and waited for before this exits: with xvfb-run, a server still on its
way out removed the socket of the next run's server on the same number, and
that run's windows found no display.
"""
import os
import select
import subprocess
import sys


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    read_end, write_end = os.pipe()
    # -noreset: the server would otherwise reset, refusing connections, each
    # time its last client goes.
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                               "-nolisten", "tcp", "-noreset"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        number = b""
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], 30)
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                print("Xvfb did not start", file=sys.stderr)
                return 1
            number += chunk
        env = dict(os.environ, DISPLAY=":" + number.decode().strip())
        env.pop("WAYLAND_DISPLAY", None)
        return subprocess.call(sys.argv[1:], env=env)
    finally:
        os.close(read_end)
        server.terminate()
        server.wait(10)


if __name__ == "__main__":
    sys.exit(main())
