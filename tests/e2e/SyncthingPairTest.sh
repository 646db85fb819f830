#!/usr/bin/env bash
# Two Syncthing daemons on loopback keep two folders in step both ways,
# leave `*.nosync` files alone and hold everything back while paused; three
# folders work too; the daemons are gone after `run`, also when the command
# fails. Usage: SyncthingPairTest.sh TOOL
set -euo pipefail
tool=$1
timeout=${QUILLET_SYNC_TIMEOUT:-60}

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits until FILE exists with CONTENT (a half-copied file does not count).
wait_for() {
  local file=$1 content=$2 deadline=$((SECONDS + timeout))
  until [ -f "$file" ] && [ "$(cat "$file")" = "$content" ]; do
    [ $SECONDS -lt $deadline ] || fail "$file did not arrive with \"$content\" within $timeout s"
    sleep 0.2
  done
}

if [ "${2:-}" = --pair ]; then
  a=$QUILLET_SYNC_A b=$QUILLET_SYNC_B
  echo "from A" >"$a/hello.txt"
  wait_for "$b/hello.txt" "from A"
  echo "from B" >"$b/reply.txt"
  wait_for "$a/reply.txt" "from B"
  # The ignored files go first, so they had every chance to be copied by the
  # time the synced ones have arrived and every device reports in sync.
  mkdir -p "$a/notes" "$b/notes"
  echo "only on A" >"$a/x.nosync"
  echo "only on A" >"$a/notes/y.nosync"
  echo "only on B" >"$b/z.nosync"
  echo "A after" >"$a/notes/after.txt"
  echo "B after" >"$b/after.txt"
  wait_for "$b/notes/after.txt" "A after"
  wait_for "$a/after.txt" "B after"
  "$tool" wait-synced --scratch "$QUILLET_SYNC_SCRATCH" --timeout "$timeout" || fail "wait-synced failed"
  for f in "$b/x.nosync" "$b/notes/y.nosync" "$a/z.nosync"; do
    [ ! -e "$f" ] || fail "$f was copied although .stignore holds *.nosync"
  done
  [ -z "$(find "$a" "$b" -name '.syncthing.*.tmp' -o -name '*.sync-conflict-*')" ] ||
    fail "temporary or conflict files left: $(find "$a" "$b" -name '.syncthing.*' -o -name '*.sync-conflict-*')"
  # Apart: nothing travels until the folders are resumed.
  "$tool" pause --scratch "$QUILLET_SYNC_SCRATCH" || fail "pause failed"
  echo "while apart" >"$a/apart.txt"
  sleep 4
  [ ! -e "$b/apart.txt" ] || fail "a file travelled while the folders were paused"
  "$tool" resume --scratch "$QUILLET_SYNC_SCRATCH" --timeout "$timeout" || fail "resume failed"
  wait_for "$b/apart.txt" "while apart"
  exit 0
fi
if [ "${2:-}" = --trio ]; then
  echo "from C" >"$QUILLET_SYNC_C/c.txt"
  wait_for "$QUILLET_SYNC_A/c.txt" "from C"
  wait_for "$QUILLET_SYNC_B/c.txt" "from C"
  exit 3
fi

if ! command -v syncthing >/dev/null; then
  if [ -n "${QUILLET_REQUIRE_SYNCTHING:-}" ]; then
    fail "syncthing is not installed and QUILLET_REQUIRE_SYNCTHING is set"
  fi
  echo "SKIPPED: syncthing is not installed (apt-get install syncthing; QUILLET_REQUIRE_SYNCTHING=1 fails instead)"
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

daemons_of() { pgrep -f -- "--home=$1/" || true; }

"$tool" run --scratch "$tmp/pair" --timeout "$timeout" "$tmp/a" "$tmp/b" -- "$0" "$tool" --pair ||
  fail "the two-folder run failed"
[ -z "$(daemons_of "$tmp/pair")" ] || fail "daemons still running after run: $(daemons_of "$tmp/pair")"
for folder in "$tmp/a" "$tmp/b"; do
  [ -d "$folder/.stfolder" ] && grep -qx '\*\.nosync' "$folder/.stignore" || fail "$folder lacks its markers"
done

status=0
"$tool" run --scratch "$tmp/trio" --timeout "$timeout" "$tmp/c1" "$tmp/c2" "$tmp/c3" -- "$0" "$tool" --trio || status=$?
[ $status = 3 ] || fail "run with three folders ended with $status, not the command's 3"
[ -z "$(daemons_of "$tmp/trio")" ] || fail "daemons still running after a failed command: $(daemons_of "$tmp/trio")"
echo "PASS"
