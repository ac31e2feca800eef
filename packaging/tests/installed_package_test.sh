#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and uses it as a program
# author would (use_installed_tree.sh). Writes nothing outside its own
# temporary folder.
# Usage: installed_package_test.sh <build dir> <consumer source> <version> <generator> <C++ compiler>
set -euo pipefail
build="$1" consumer="$2" version="$3" generator="$4" compiler="$5"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# This is what cmake --install <build> --prefix <prefix> runs, but
# cmake --install writes its manifest into the build tree, which the test
# may not write (nobody, in the unprivileged run) and should not touch: the
# manifest goes here instead.
sed "s|^file(WRITE \".*/\${CMAKE_INSTALL_MANIFEST}\"|file(WRITE \"$tmp/\${CMAKE_INSTALL_MANIFEST}\"|" \
  "$build/cmake_install.cmake" >"$tmp/cmake_install.cmake"
grep -q "file(WRITE \"$tmp/" "$tmp/cmake_install.cmake"
cmake -DCMAKE_INSTALL_PREFIX="$tmp/prefix" -P "$tmp/cmake_install.cmake" >"$tmp/install.log"

bash "$(dirname "$0")/use_installed_tree.sh" "$tmp/prefix" "$consumer" "$version" "$tmp" "$generator" "$compiler"
