#!/usr/bin/env python3
"""End to end: two machines' diaries kept in step through the cloud exchange,
over two real Syncthing daemons on loopback (`syncthing`) or one folder that
both use (`shared`). New entries, re-tags, re-dates and trashes reach the
other machine; with Syncthing, texts edited on both machines while they are
apart are both kept, and so is a text edited on one while the other trashed
its entry without having seen it; a third machine that starts later gets the
whole diary, and all end identical.

  CloudE2ETest.py PEER_BINARY SYNCTHING_PAIR syncthing|shared
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from cloudpeers import Peer, PeerError  # noqa: E402

# Sync engines copy in a second or two; a loaded CI machine may need more.
# Each machine also derives the passphrase's key once (about a second).
WAIT = float(os.environ.get("QUILLET_SYNC_TIMEOUT", "30"))

E1 = "E2E00000-0000-4000-8000-000000000001"
E2 = "E2E00000-0000-4000-8000-000000000002"
E3 = "E2E00000-0000-4000-8000-000000000003"
E4 = "E2E00000-0000-4000-8000-000000000004"
MARCH = 1330956429  # 2012-03-05
MAY = 1336226400    # 2012-05-05


START = time.monotonic()


def step(what):
    """Marks the test's progress in its output, with the seconds so far."""
    print(f"{time.monotonic() - START:6.1f} s  {what}", flush=True)


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def scenario(binary, roots, pair_tool=None, scratch=None):
    """roots: the cloud root of machines A, B and C (one folder for all, or
    three folders a sync engine keeps in step)."""
    work = tempfile.mkdtemp(prefix="cloud-e2e-homes-")
    peers = []
    try:
        a = Peer(binary, "A", f"{work}/a", roots[0])
        peers.append(a)
        b = Peer(binary, "B", f"{work}/b", roots[1])
        peers.append(b)

        step("two machines up")
        # New entries travel both ways.
        a.add(E1, 1, MARCH, "first, on A")
        a.add(E2, 2, MARCH + 60, "second, on A\nwith a second line")
        b.wait_line(E1, 1, MARCH, "first, on A", WAIT)
        b.wait_line(E2, 2, MARCH + 60, "second, on A\nwith a second line", WAIT)
        b.add(E3, 3, MARCH + 120, "third, on B")
        a.wait_line(E3, 3, MARCH + 120, "third, on B", WAIT)

        step("new entries arrived both ways")
        # A re-tag on one machine and a re-date of the same entry on the
        # other, at once: both survive on both.
        a.tag(E2, 5)
        b.date(E2, MAY)
        for p in (a, b):
            p.wait_line(E2, 5, MAY, "second, on A\nwith a second line", WAIT)

        step("a re-tag and a re-date arrived")
        # A trash travels.
        b.trash(E3)
        a.wait_gone(E3, WAIT)

        step("a trash arrived")
        expected = 2
        trashed = [E3]
        if pair_tool:
            # Apart: both machines write the same entry's text, and B trashes
            # an entry whose new text, written on A, it has not seen. Once in
            # touch again, both texts of the first are on both diaries (one as
            # the conflicting copy); the trash wins, and A's text stays as a
            # copy, since nobody chose to delete it.
            subprocess.run([pair_tool, "pause", "--scratch", scratch], check=True)
            a.text(E1, "rewritten on A while apart")
            b.text(E1, "rewritten on B while apart")
            a.text(E2, "second, rewritten on A while B trashed it")
            time.sleep(0.05)  # B's trash is the later change
            b.trash(E2)
            subprocess.run([pair_tool, "resume", "--scratch", scratch, "--timeout", str(WAIT)], check=True)
            expected = 3
            trashed.append(E2)
            for p in (a, b):
                p.wait_gone(E2, WAIT)
                p.wait_count(expected, WAIT)
                p.wait_text("rewritten on A while apart", WAIT)
                p.wait_text("rewritten on B while apart", WAIT)
                p.wait_text("Conflicting copy (written on another machine at the same time)\n\n"
                            "second, rewritten on A while B trashed it", WAIT)
            step("both texts written apart are kept, and so is a text trashed unseen")

        a.add(E4, 0, MAY + 60, "last, on A")
        b.wait_line(E4, 0, MAY + 60, "last, on A", WAIT)
        expected += 1

        step("a later entry arrived")
        # A third machine signs in later and gets the whole diary.
        c = Peer(binary, "C", f"{work}/c", roots[2])
        peers.append(c)
        c.wait_count(expected, WAIT)
        for p in peers:
            p.wait_count(expected, WAIT)
        step("the third machine has the whole diary")
        dumps = [p.dump() for p in peers]
        check(dumps[0] == dumps[1] == dumps[2],
              "the machines differ:\n" + "\n".join(f"{p.name}: {d}" for p, d in zip(peers, dumps)))
        check(not any(e in dumps[0] for e in trashed), "a trashed entry came back")
        # Sealed: no text typed on any machine is readable in a cloud folder.
        for root in set(roots):
            for folder, _, names in os.walk(root):
                for name in names:
                    if ".nosync" in folder or name.endswith(".nosync"):
                        continue
                    with open(os.path.join(folder, name), "rb") as f:
                        check(b", on A" not in f.read(), f"plain text in {folder}/{name}")
        for p in peers:
            written, applied = p.counts()
            print(f"{p.name}: {written} logs written, {applied} applied, {len(dumps[0])} entries")
    except (AssertionError, PeerError):
        # The other machines' side of a failure.
        for p in peers:
            print(f"--- {p.name}'s log:\n{p.log_tail()}")
        raise
    finally:
        for p in peers:
            p.quit()
        shutil.rmtree(work, ignore_errors=True)


def main():
    binary, pair_tool, mode = sys.argv[1:4]
    if mode == "--inside":
        # Run by syncthing-pair with the daemons up.
        roots = [os.environ[f"QUILLET_SYNC_{n}"] for n in "ABC"]
        scenario(binary, roots, pair_tool, os.environ["QUILLET_SYNC_SCRATCH"])
        return 0
    if mode == "shared":
        shared = tempfile.mkdtemp(prefix="cloud-e2e-shared-")
        try:
            scenario(binary, [shared] * 3)
        finally:
            shutil.rmtree(shared, ignore_errors=True)
        print("PASS")
        return 0
    if not shutil.which("syncthing"):
        if os.environ.get("QUILLET_REQUIRE_SYNCTHING"):
            print("FAIL: syncthing is not installed and QUILLET_REQUIRE_SYNCTHING is set")
            return 1
        print("SKIPPED: syncthing is not installed (apt-get install syncthing)")
        return 77
    tmp = tempfile.mkdtemp(prefix="cloud-e2e-sync-")
    try:
        folders = [f"{tmp}/{n}" for n in "abc"]
        status = subprocess.call([pair_tool, "run", "--scratch", f"{tmp}/scratch", "--timeout", "60",
                                  *folders, "--", sys.executable, os.path.abspath(__file__),
                                  binary, pair_tool, "--inside"])
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("PASS" if status == 0 else "FAIL")
    return status


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (AssertionError, PeerError, subprocess.CalledProcessError) as e:
        print(f"FAIL: {e}")
        sys.exit(1)
