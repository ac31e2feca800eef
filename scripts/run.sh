#!/usr/bin/env bash
# Sets up, builds and starts damrelay; arguments go to damrelay unchanged.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

bash "$root/scripts/setup.sh"
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release >/dev/null)
exec "$root/build/release/server/damrelay" "$@"
