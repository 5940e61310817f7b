#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: a normal build, a short run of every
# fuzz target, and a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== format"
bash scripts/check-format.sh

echo "== layers"
python3 scripts/check-layers.py

export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
run_tests() {
  echo "== $1"
  cmake --preset "$1"
  cmake --build --preset "$1"
  ctest --preset "$1"
}

run_tests default

echo "== fuzz (short runs)"
cmake --preset fuzz
cmake --build --preset fuzz
bash scripts/fuzz-smoke.sh build/fuzz "${FUZZ_SECONDS:-5}"

run_tests asan-ubsan
