#!/usr/bin/env bash
# systemd's own check of damrelay@.service, as an instance for a board:
# what systemd would refuse, warn about or not find (the program) fails.
# Usage: systemd_unit_test.sh <folder holding damrelay@.service>
set -euo pipefail
if ! command -v systemd-analyze >/dev/null; then
  echo "no systemd-analyze: scripts/setup.sh installs systemd"
  exit 77
fi
said="$(systemd-analyze verify --man=no "$1/damrelay@board3.service" 2>&1)" || {
  echo "$said"
  exit 1
}
if [ -n "$said" ]; then
  echo "$said"
  exit 1
fi
echo "damrelay@board3.service: as systemd takes it"
