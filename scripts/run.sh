#!/usr/bin/env bash
# Sets up, builds and starts damrelay; arguments go to damrelay unchanged.
#
# Without arguments on a machine without a serial adapter (/dev/ttyUSB*,
# /dev/ttyACM*), a virtual board (boardsim) plays behind COM3, so that a
# draughts program sees a board at once. Its console shares this terminal,
# each of its lines marked "board| ": moves typed here are made on it, and
# the board it then shows belongs next to them. The board stays until
# Ctrl-C (or quit typed to it); damrelay, which ends with each program's
# session (the program closing its connection or sending EXIT), starts again
# after each one, so that the program can be run again and again against
# the same board. A relay that fails (its port taken, say) ends the run
# with its exit code.
#
# For tests and packagers:
#   DAMRELAY_BUILD_DIR=DIR  run the programs of the build in DIR
#                           (DIR/server/damrelay, DIR/tools/boardsim/boardsim):
#                           nothing is installed, configured or built
#   DAMRELAY_PORT=N         the relay of the virtual board listens on port N
#                           instead of 50000
#   XDG_RUNTIME_DIR         where the link to the virtual board goes
#                           (damrelay-board-<uid>; /tmp when it is not set)
set -euo pipefail

say() { echo "run.sh: $*"; }

if [ -n "${DAMRELAY_BUILD_DIR:-}" ]; then
  build="$DAMRELAY_BUILD_DIR"
else
  root="$(cd "$(dirname "$0")/.." && pwd)"
  build="$root/build/release"
  say "installing what is missing (scripts/setup.sh)"
  bash "$root/scripts/setup.sh"
  say "configuring the release build in $build"
  (cd "$root" && cmake --preset release)
  cores="$(nproc)"
  say "building on $cores cores (the first build takes a few minutes)"
  (cd "$root" && cmake --build --preset release --parallel "$cores")
fi

adapters=$(compgen -G '/dev/ttyUSB*' || compgen -G '/dev/ttyACM*' || true)
if [ $# -gt 0 ] || [ -n "$adapters" ]; then
  say "starting damrelay $*"
  exec "$build/server/damrelay" "$@"
fi

port="${DAMRELAY_PORT:-50000}"
link="${XDG_RUNTIME_DIR:-/tmp}/damrelay-board-$(id -u)"

# Ends what is still running and waits for it, the board's labeller too:
# nothing outlives run.sh. A second Ctrl-C does not cut this short.
stop() {
  trap '' INT TERM HUP
  local running
  running=$(jobs -p)
  [ -z "$running" ] || kill $running 2>/dev/null || true
  wait
  # boardsim removes its link when it ends; one that was killed leaves it.
  if [ -L "$link" ] && [ ! -e "$link" ]; then rm -f "$link"; fi
}
trap stop EXIT
trap 'echo; say "Ctrl-C: the board and damrelay end"; exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

say "no serial adapter found: a virtual board plays behind COM3 ($link)"
echo "Type moves such as 32-28 here to make them on it. For a real board, give damrelay's"
echo "arguments: bash scripts/run.sh --map COM3=/dev/ttyUSB0 50000 COM3"
# A board killed before left its link behind: the relay must not find it
# before the new board is there.
if [ -L "$link" ] && [ ! -e "$link" ]; then rm -f "$link"; fi
# The board's lines, marked. The labeller is this script's own child, so
# that stop() can wait for its last line, and it outlives Ctrl-C to show
# the board's last words: it ends when the board's output does.
exec {board_output}> >(trap '' INT; exec sed -u 's/^/board| /')
# An asynchronous command reads /dev/null unless told otherwise: the board
# reads this terminal. It runs in a session of its own, out of the reach of
# Ctrl-C, which is this script's to handle: a board that ended on Ctrl-C by
# itself could make bash take its end for a board that was quit, and pass
# over the Ctrl-C.
setsid "$build/tools/boardsim/boardsim" --link "$link" <&0 >&"$board_output" 2>&1 {board_output}>&- &
board=$!
exec {board_output}>&-
for _ in $(seq 200); do
  [ -L "$link" ] && [ -e "$link" ] && break
  kill -0 "$board" 2>/dev/null || break
  sleep 0.05
done
[ -L "$link" ] || { say "the virtual board did not start" >&2; exit 1; }

while true; do
  say "starting damrelay on port $port, COM3 mapped to the virtual board"
  # The terminal is the board's: the relay reads nothing from it.
  "$build/server/damrelay" --map "COM3=$link" "$port" </dev/null &
  relay=$!
  status=0
  ended=""
  wait -n -p ended "$relay" "$board" || status=$?
  if [ "$ended" = "$board" ]; then
    say "the virtual board ended (exit code $status): damrelay ends too"
    exit "$status"
  fi
  if [ "$status" -ne 0 ]; then
    say "damrelay ended with exit code $status (it says why above): stopping"
    exit "$status"
  fi
  # A program's EXIT ends its session like closing the connection does:
  # the board stays for the next program.
  say "the program's session has ended; the board stays: waiting for the next program (Ctrl-C ends both)"
done
