#!/usr/bin/env bash
# Sets up, builds and runs every test three times: a warnings-as-errors build,
# then under AddressSanitizer with UndefinedBehaviorSanitizer, then under
# ThreadSanitizer. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in dev asan tsan; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
