#!/usr/bin/env bash
# Builds the Debian packages from the package preset: damrelay (damrelay,
# boardsim, boardwatch, man pages, documents), libboardio<SONAME> (the library) and
# libboardio-dev (headers, the .so link, the CMake package). Checks them with
# lintian (any error or warning fails) and with packaging/tests/check_deb.sh,
# and prints where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
# The checks read what the build writes, whoever runs them.
umask 022

# dpkg-shlibdeps (dpkg-dev) finds the packages' dependencies.
bash scripts/setup.sh dpkg-dev lintian

build=build/package
cmake --preset package >/dev/null
cmake --build --preset package
rm -f "$build"/*.deb
cpack --preset package
debs=("$build"/*.deb)

echo "=== lintian ${debs[*]} ==="
lintian --fail-on error,warning --tag-display-limit 0 "${debs[@]}"
echo "=== packages' contents, dependencies and unpacked tree ==="
bash packaging/tests/check_deb.sh "$build/packaging/expected-files" "${debs[@]}"
printf 'package: %s\n' "${debs[@]/#/$PWD/}"
