#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and uses it as a program
# author would (use_installed_tree.sh). Writes nothing outside its own
# temporary folder.
# Usage: installed_package_test.sh <source dir> <build dir> <consumer source> <version> <generator> <C++ compiler>
set -euo pipefail
source="$1" build="$2" consumer="$3" version="$4" generator="$5" compiler="$6"

# Installing copies the headers from the checkout.
if [ ! -r "$source/driver/include/boardio/boardio.h" ]; then
  echo "$(id -un) cannot read $source: nothing to install from, skipped"
  exit 77
fi

# Built as an author builds it: without a compiler launcher the developer's
# own shell may name (ccache, whose cache another user cannot write).
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER

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
