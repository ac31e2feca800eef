#!/usr/bin/env bash
# Checks a built .deb: it holds exactly the files the build expects (nothing
# from the tests), and its unpacked tree works (use_installed_tree.sh).
# Usage: check_deb.sh <deb> <expected files list>
set -euo pipefail
deb="$1" expected="$2"
here="$(cd "$(dirname "$0")" && pwd)"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Files and links; folders come and go with them.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$tmp/contents"
if ! diff -u "$expected" "$tmp/contents"; then
  echo "$deb: contents differ from $expected (- expected, + in the package)"
  exit 1
fi
if grep -Ei 'test|gtest|gmock|virtualboard|virtual_board' "$tmp/contents"; then
  echo "$deb: holds files of the tests"
  exit 1
fi

dpkg-deb -x "$deb" "$tmp/root"
version="$(dpkg-deb -f "$deb" Version)"
bash "$here/use_installed_tree.sh" "$tmp/root/usr" "$here/consumer" "${version%-*}" "$tmp"
echo "$deb: contents as expected"
