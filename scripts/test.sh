#!/usr/bin/env bash
# Sets up, builds and runs every test three times: a warnings-as-errors build,
# then under AddressSanitizer with UndefinedBehaviorSanitizer, then under
# ThreadSanitizer. Run as root, each build's tests then run a second time as
# the unprivileged user nobody, as our users run: root hides some faults (it
# may open a terminal that someone else has opened exclusively, for one).
# After the first build it also builds the Debian packages and checks them
# (scripts/package.sh: lintian, the contents, the dependencies, the unpacked
# programs).
# Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
# The unprivileged run reads what the build writes.
umask 022

# Chromium: boardwatch's page is tested in a real browser; ser2net: the relay
# is tested with a board behind it.
bash scripts/setup.sh chromium ser2net

unprivileged=()
[ "$(id -u)" -ne 0 ] || unprivileged=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

# ctest --preset reads the presets from the folder it runs in and finds the
# builds in its build/ folder. When nobody cannot reach this checkout (a clone
# under /root, say), the builds go to a folder of its own under /tmp, with a
# copy of the presets so that the presets' test settings still apply there.
tests_root="$PWD"
if [ ${#unprivileged[@]} -gt 0 ] && ! "${unprivileged[@]}" test -r "$PWD/CMakePresets.json"; then
  tests_root="/tmp/damrelay-tests-$(printf %s "$PWD" | cksum | cut -d' ' -f1)"
  mkdir -p "$tests_root"
  if [ -L "$tests_root" ] || [ ! -O "$tests_root" ]; then
    echo "$tests_root is not ours; remove it and run again" >&2
    exit 1
  fi
  cp CMakePresets.json "$tests_root/"
  echo "nobody cannot read $PWD: building under $tests_root"
fi

for preset in dev asan tsan; do
  build="$tests_root/build/$preset"
  echo "=== $preset: build in $build ==="
  cmake --preset "$preset" -B "$build"
  cmake --build "$build"
  echo "=== $preset: tests as $(id -un) ==="
  (cd "$tests_root" && ctest --preset "$preset")
  if [ ${#unprivileged[@]} -gt 0 ]; then
    # ctest keeps its logs in Testing/ of the build.
    chown -R nobody:nogroup "$build/Testing"
    echo "=== $preset: tests as nobody ==="
    (cd "$tests_root" && "${unprivileged[@]}" ctest --preset "$preset")
  fi
  if [ "$preset" = dev ]; then
    echo "=== packages: build, lintian, contents ==="
    bash scripts/package.sh
  fi
done
