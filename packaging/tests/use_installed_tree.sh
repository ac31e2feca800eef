#!/usr/bin/env bash
# Uses an installed tree as its users would: builds and runs a small program
# against it with find_package(boardio), and starts the installed damrelay,
# which must find the installed library by itself. Writes only under the
# folder it is given.
# Usage: use_installed_tree.sh <prefix> <consumer source> <version> <work folder> [<generator> <C++ compiler>]
set -euo pipefail
prefix="$1" consumer="$2" version="$3" work="$4" generator="${5:-Ninja}" compiler="${6:-c++}"

cmake -S "$consumer" -B "$work/consumer" -G "$generator" -DCMAKE_CXX_COMPILER="$compiler" \
  -DCMAKE_PREFIX_PATH="$prefix" -DBOARDIO_EXPECTED_VERSION="$version" >"$work/configure.log" ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/consumer" >"$work/build.log" || { cat "$work/build.log"; exit 1; }

output="$("$work/consumer/boardio_consumer")"
expected="port /nonexistent/board, state 0, request 66
open failed: open: No such file or directory"
if [ "$output" != "$expected" ]; then
  printf 'consumer printed:\n%s\nexpected:\n%s\n' "$output" "$expected"
  exit 1
fi

# A bad argument gives the banner and the usage; then a typed character
# ends the relay with exit code 1.
status=0
relay_output="$(echo x | "$prefix/bin/damrelay" not-a-port 2>&1)" || status=$?
if [ "$status" -ne 1 ] || ! grep -q '^KRV Draughts Server$' <<<"$relay_output" ||
  ! grep -q '^usage:$' <<<"$relay_output"; then
  printf 'installed damrelay: exit code %s, output:\n%s\n' "$status" "$relay_output"
  exit 1
fi
echo "the installed tree builds a consumer of boardio $version and runs damrelay"
