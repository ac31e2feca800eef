#!/usr/bin/env bash
# The Windows leg, on Linux: installs mingw-w64, Wine and NSIS, cross-builds
# damrelay.exe, boardsim.exe, boardwatch.exe and boardio.dll (the windows
# preset, build/windows/bin/), runs their tests under Wine, runs damrelay.exe
# under Wine against a virtual board, boardsim.exe with a host on the Linux
# side, boardwatch.exe following a Linux relay, and the three together
# (relay_under_wine_test, boardsim_under_wine_test and
# boardwatch_under_wine_test from the dev preset's Linux build), then builds
# the zip and the installer
# (build/windows/damrelay-<version>-win64.zip and .exe), checks the zip's
# contents (the programs, the DLLs, README.txt, the documents) and runs its
# programs, installs the installer silently, checks its files and Start-menu
# entries, runs the installed damrelay.exe and uninstalls it again.
# Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

bash scripts/setup.sh g++-mingw-w64-x86-64-posix wine wine64 nsis

build=build/windows
started=$SECONDS
step() { echo "=== windows: $1 ($((SECONDS - started)) s so far) ==="; }

step "cross build"
cmake --preset windows >/dev/null
cmake --build --preset windows

step "the Linux side of the test under Wine"
cmake --preset dev >/dev/null
cmake --build --preset dev -j2 --target relay_under_wine_test boardsim_under_wine_test boardwatch_under_wine_test
relay_test="$PWD/build/dev/server/tests/relay_under_wine_test"
boardsim_test="$PWD/build/dev/tools/boardsim/tests/boardsim_under_wine_test"
boardwatch_test="$PWD/build/dev/tools/boardwatch/tests/boardwatch_under_wine_test"

# One prefix, made on the first run and kept; no Mono or Gecko is asked for.
export WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$WINEPREFIX"
# A wineserver that outlives each program: started once, before the tests,
# with no standard streams of ours (ctest would otherwise wait for it on
# their pipes), and stopped at the end.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
step "Wine prefix $WINEPREFIX"
wine cmd /c exit </dev/null >/dev/null 2>&1

step "tests under Wine"
# Each test is a Wine process of its own. Once in thousands of runs, one
# failed here without a failing check, with Wine busy; a test gets a
# second run, and one that fails twice fails the leg.
ctest --preset windows --repeat until-pass:2

run_relay() {
  echo "--- $1 under Wine"
  DAMRELAY_WINDOWS_RELAY="$1" "$relay_test"
}
# boardsim.exe and boardwatch.exe of a folder, each alone and with its
# damrelay.exe.
run_tools() {
  echo "--- boardsim.exe and boardwatch.exe in $1 under Wine"
  BOARDSIM_WINDOWS_PROGRAM="$1/boardsim.exe" "$boardsim_test"
  BOARDWATCH_WINDOWS_PROGRAM="$1/boardwatch.exe" BOARDSIM_WINDOWS_PROGRAM="$1/boardsim.exe" \
    DAMRELAY_WINDOWS_RELAY="$1/damrelay.exe" "$boardwatch_test"
}
step "damrelay.exe, boardsim.exe and boardwatch.exe from the build"
run_relay "$PWD/$build/bin/damrelay.exe"
run_tools "$PWD/$build/bin"

step "zip and installer"
rm -f "$build"/damrelay-*-win64.zip "$build"/damrelay-*-win64.exe
cpack --preset windows
zip="$(ls "$build"/damrelay-*-win64.zip)"
installer="$(ls "$build"/damrelay-*-win64.exe)"
name="$(basename "$zip" .zip)"
version="${name#damrelay-}"
version="${version%-win64}"

step "the zip: contents, and its programs"
unpacked="$build/unpacked"
rm -rf "$unpacked" && mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "../$(basename "$zip")")
# The build lists what the packages must hold (packaging/windows/package.cmake).
expected="$(LC_ALL=C sort "$build/packaging/expected-files.txt" | xargs)"
found="$(cd "$unpacked/$name" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs)"
if [ "$found" != "$expected" ]; then
  echo "the zip holds: $found; expected: $expected" >&2
  exit 1
fi
run_relay "$PWD/$unpacked/$name/damrelay.exe"
run_tools "$PWD/$unpacked/$name"

step "the installer: silent install, the installed damrelay.exe, silent uninstall"
installed="$WINEPREFIX/drive_c/Program Files/damrelay"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/damrelay $version"
wine "$installer" /S </dev/null
for file in $expected Uninstall.exe; do
  [ -f "$installed/$file" ] || { echo "not installed: $installed/$file" >&2; exit 1; }
done
for link in damrelay "damrelay readme" "damrelay protocol for draughts programs" "boardsim readme" "boardwatch readme"; do
  [ -f "$menu/$link.lnk" ] || { echo "no Start-menu entry: $menu/$link.lnk" >&2; exit 1; }
done
run_relay "$installed/damrelay.exe"
# The uninstaller copies itself away and returns at once: wait for its work.
wine "C:\\Program Files\\damrelay\\Uninstall.exe" /S </dev/null
for _ in $(seq 120); do
  [ -e "$installed/damrelay.exe" ] || [ -e "$menu" ] || break
  sleep 0.5
done
if [ -e "$installed/damrelay.exe" ] || [ -e "$menu" ]; then
  echo "the uninstaller left $installed/damrelay.exe or $menu" >&2
  exit 1
fi

step "done"
echo "zip:       $PWD/$zip"
echo "installer: $PWD/$installer"
