#!/usr/bin/env bash
# Sets up, builds and starts damrelay; arguments go to damrelay unchanged.
#
# Without arguments on a machine without a serial adapter (/dev/ttyUSB*,
# /dev/ttyACM*), a virtual board (boardsim) plays behind COM3, so that a
# draughts program sees a board at once. Its console shares this terminal,
# each of its lines marked "board| ": moves typed here are made on it, and
# the board it then shows belongs next to them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"

bash "$root/scripts/setup.sh"
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release >/dev/null)

adapters=$(compgen -G '/dev/ttyUSB*' || compgen -G '/dev/ttyACM*' || true)
if [ $# -gt 0 ] || [ -n "$adapters" ]; then
  exec "$build/server/damrelay" "$@"
fi

link="${XDG_RUNTIME_DIR:-/tmp}/damrelay-board-$(id -u)"
echo "No serial adapter found: a virtual board plays behind COM3 ($link)."
echo "Type moves such as 32-28 here to make them on it. For a real board, give damrelay's"
echo "arguments: bash scripts/run.sh --map COM3=/dev/ttyUSB0 50000 COM3"
# An asynchronous command reads /dev/null unless told otherwise: the board
# reads this terminal.
"$build/tools/boardsim/boardsim" --link "$link" <&0 > >(sed -u 's/^/board| /') 2>&1 &
board=$!
trap 'kill "$board" 2>/dev/null || true; wait "$board" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.05; done
[ -L "$link" ] || { echo "the virtual board did not start" >&2; exit 1; }
"$build/server/damrelay" --map "COM3=$link" 50000
