#!/usr/bin/env bash
# Sets up, builds the bench preset and runs the relay comparison: damrelay
# beside socat on the same path (a pty as the board, a program on loopback
# TCP) and prints one table. Arguments go to the comparison: --quick for a
# short run, --help for the rest. Targets are printed, never enforced.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh socat

cmake --preset bench >/dev/null
# The machine is shared: two jobs at most.
cmake --build --preset bench -j2
exec build/bench/bench/relay_compare "$@"
