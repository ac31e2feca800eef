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

# When nobody cannot reach this checkout (a clone under /root, say), the tests
# could read neither their programs nor the documents they check: the
# checkout's files (what git tracks or would track, as they are now) are
# copied to a folder of its own under /tmp, and everything runs there. The
# copy keeps the files' times and its builds, so a second run builds only
# what changed.
if [ ${#unprivileged[@]} -gt 0 ] && ! "${unprivileged[@]}" test -r "$PWD/CMakePresets.json"; then
  copy="/tmp/damrelay-tests-$(printf %s "$PWD" | cksum | cut -d' ' -f1)"
  mkdir -p "$copy"
  if [ -L "$copy" ] || [ ! -O "$copy" ]; then
    echo "$copy is not ours; remove it and run again" >&2
    exit 1
  fi
  chmod 755 "$copy"
  find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
      tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null | tar -xpf - -C "$copy"
  else
    tar --exclude=./build -cf - . | tar -xpf - -C "$copy"
  fi
  echo "nobody cannot read $PWD: testing a copy of it in $copy"
  cd "$copy"
fi

for preset in dev asan tsan; do
  build="$PWD/build/$preset"
  echo "=== $preset: build in $build ==="
  cmake --preset "$preset" -B "$build"
  cmake --build "$build"
  echo "=== $preset: tests as $(id -un) ==="
  ctest --preset "$preset"
  if [ ${#unprivileged[@]} -gt 0 ]; then
    # ctest keeps its logs in Testing/ of the build.
    chown -R nobody:nogroup "$build/Testing"
    echo "=== $preset: tests as nobody ==="
    "${unprivileged[@]}" ctest --preset "$preset"
  fi
  if [ "$preset" = dev ]; then
    echo "=== packages: build, lintian, contents ==="
    bash scripts/package.sh
  fi
done
