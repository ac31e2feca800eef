#!/usr/bin/env bash
# Checks the built .debs: each holds exactly the files the build expects of
# its package (nothing from the tests), the packages depend on each other as
# Debian's library packages do, and their unpacked tree works
# (use_installed_tree.sh).
# Usage: check_deb.sh <folder of expected file lists, one <package>.txt each> <deb>...
set -euo pipefail
expected="$1"
shift
here="$(cd "$(dirname "$0")" && pwd)"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

fail() { echo "$*" >&2; exit 1; }

declare -A deb_of
for deb in "$@"; do
  package="$(dpkg-deb -f "$deb" Package)"
  deb_of[$package]="$deb"
  # Files and links; folders come and go with them.
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$tmp/contents"
  [ -f "$expected/$package.txt" ] || fail "$deb: no package $package is expected"
  diff -u "$expected/$package.txt" "$tmp/contents" ||
    fail "$deb: contents differ from $expected/$package.txt (- expected, + in the package)"
  if grep -Ei 'test|gtest|gmock|virtualboard|virtual_board' "$tmp/contents"; then
    fail "$deb: holds files of the tests"
  fi
  dpkg-deb -x "$deb" "$tmp/root"
done
for list in "$expected"/*.txt; do
  package="$(basename "$list" .txt)"
  [ -n "${deb_of[$package]:-}" ] || fail "no .deb of $package among: $*"
done

version="$(dpkg-deb -f "${deb_of[damrelay]}" Version)"
upstream="${version%-*}"
library="$(printf '%s\n' "${!deb_of[@]}" | grep -E '^libboardio[0-9]+$')"
# depends <package> <dependency>: the package's Depends field names it.
depends() {
  dpkg-deb -f "${deb_of[$1]}" Depends | tr ',' '\n' | sed 's/^ *//' | grep -qxF "$2" ||
    fail "$1 does not depend on $2: $(dpkg-deb -f "${deb_of[$1]}" Depends)"
}
depends damrelay "$library (>= $upstream)"
depends libboardio-dev "$library (= $version)"
dpkg-deb -f "${deb_of[$library]}" Depends | grep -q '^libc6 ' ||
  fail "$library: no dependencies found by dpkg-shlibdeps"

bash "$here/use_installed_tree.sh" "$tmp/root/usr" "$here/consumer" "$upstream" "$tmp"
echo "$*: contents and dependencies as expected"
