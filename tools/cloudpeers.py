"""Drives cloud_peer processes (tests/e2e/CloudPeer.cpp): each is one machine
with a home of its own whose cloud root the caller names. Used by the
end-to-end test and by tools/cloud-soak."""

import os
import sqlite3
import subprocess

CONTAINER = "7QW2E9R4T1.org.quillet.diary"


class PeerError(Exception):
    pass


def escape(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n")


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append("\n" if text[i + 1] == "n" else text[i + 1])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class Peer:
    """One running machine. `home` is made when missing; `cloud_root` is its
    QUILLET_CLOUD_ROOT (a synced folder, or one folder shared by all)."""

    def __init__(self, binary, name, home, cloud_root):
        self.name, self.home, self.cloud_root = name, home, cloud_root
        os.makedirs(home, exist_ok=True)
        # The container is sealed: every machine knows the diary's passphrase.
        passphrase = f"{home}/cloud-passphrase"
        with open(passphrase, "w", encoding="utf-8") as f:
            f.write("an end-to-end passphrase\n")
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=f"{home}/.local/share",
                   XDG_CONFIG_HOME=f"{home}/.config", XDG_CACHE_HOME=f"{home}/.cache",
                   QUILLET_CLOUD_ROOT=cloud_root, QT_QPA_PLATFORM="offscreen", QUILLET_NO_SYSLOG="1",
                   QUILLET_CLOUD_PASSPHRASE_FILE=passphrase)
        self.log_path = f"{home}/peer.log"
        self._log = open(self.log_path, "ab")
        self.proc = subprocess.Popen([binary, "--sign-in"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=self._log, env=env,
                                     text=True, bufsize=1)
        self._answer("start")

    @property
    def store_path(self):
        return f"{self.home}/.local/share/Quillet2/entries.sqlite"

    def _answer(self, command):
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise PeerError(f"{self.name} ended during \"{command}\"; its log:\n{self.log_tail()}")
            line = line.rstrip("\n")
            if line.startswith("ok"):
                return lines, line
            if line.startswith("error"):
                raise PeerError(f"{self.name}: \"{command}\": {line}\n{self.log_tail()}")
            lines.append(line)

    def log_tail(self, count=20):
        try:
            with open(self.log_path, errors="replace") as f:
                return "".join(f.readlines()[-count:])
        except OSError:
            return ""

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        return self._answer(command)

    def add(self, uuid, color, secs, text):
        self.send(f"add {uuid} {color} {secs} {escape(text)}")

    def _previous(self, answer):
        _, last = answer
        return unescape(last[len("ok was "):]) if last.startswith("ok was ") else None

    def text(self, uuid, text):
        """Answers the text written over."""
        return self._previous(self.send(f"text {uuid} {escape(text)}"))

    def tag(self, uuid, color):
        self.send(f"tag {uuid} {color}")

    def date(self, uuid, secs):
        self.send(f"date {uuid} {secs}")

    def trash(self, uuid):
        """Answers the text dropped with the entry."""
        return self._previous(self.send(f"trash {uuid}"))

    def dump(self):
        """uuid -> (color, secs, text) of every entry on this machine's diary."""
        lines, _ = self.send("dump")
        result = {}
        for line in lines:
            _, uuid, color, secs, text = line.split(" ", 4)
            result[uuid] = (int(color), int(secs), unescape(text))
        return result

    def wait_line(self, uuid, color, secs, text, seconds=20):
        self.send(f"wait-line {seconds} {uuid} {color} {secs} {escape(text)}")

    def wait_gone(self, uuid, seconds=20):
        self.send(f"wait-gone {seconds} {uuid}")

    def wait_text(self, part, seconds=20):
        self.send(f"wait-text {seconds} {escape(part)}")

    def wait_count(self, count, seconds=20):
        self.send(f"wait-count {seconds} {count}")

    def counts(self):
        """(logs written, logs applied) as the store records them."""
        db = sqlite3.connect(f"file:{self.store_path}?mode=ro", uri=True, timeout=10)
        try:
            written = int(db.execute("SELECT value FROM cloudState WHERE name = 'nextSequence'").fetchone()[0]) - 1
            applied = db.execute("SELECT COALESCE(SUM(sequence), 0) FROM appliedLog").fetchone()[0]
            return written, applied
        finally:
            db.close()

    def quit(self):
        if self.proc.poll() is None:
            try:
                self.send("quit")
            except (PeerError, BrokenPipeError):
                pass
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self._log.close()


def container_of(cloud_root):
    return os.path.join(cloud_root, CONTAINER)
