#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: a normal build, a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
for preset in default asan-ubsan; do
  echo "== ${preset}"
  cmake --preset "${preset}"
  cmake --build --preset "${preset}"
  ctest --preset "${preset}"
done

echo "== fuzz (short runs)"
cmake --preset fuzz
cmake --build --preset fuzz
bash scripts/fuzz-smoke.sh build/fuzz "${FUZZ_SECONDS:-10}"
