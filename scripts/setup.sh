#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages only, and
# any further packages named as arguments. Safe to run again: it installs only
# what is missing.
set -euo pipefail

# libcli11-dev: the tools' command lines; systemd: systemd-analyze, which
# checks damrelay's unit in the tests.
packages=(cmake ninja-build g++ libboost-dev libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev systemd "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
