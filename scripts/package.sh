#!/usr/bin/env bash
# Builds the Debian package (damrelay, boardsim, the boardio library with its
# headers and CMake package, man pages) from the package preset, checks it
# with lintian (any error fails) and with packaging/tests/check_deb.sh, and
# prints where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
# The checks read what the build writes, whoever runs them.
umask 022

# dpkg-shlibdeps (dpkg-dev) finds the package's dependencies; file is what
# CPack uses to find the programs and libraries to strip.
bash scripts/setup.sh dpkg-dev lintian file

build=build/package
cmake --preset package >/dev/null
cmake --build --preset package
rm -f "$build"/*.deb
cpack --preset package
deb="$(ls "$build"/*.deb)"

echo "=== lintian $deb ==="
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "=== package contents and unpacked tree ==="
bash packaging/tests/check_deb.sh "$deb" "$build/packaging/expected-files.txt"
echo "package: $PWD/$deb"
