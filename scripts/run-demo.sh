#!/usr/bin/env bash
# Runs the demo from a build folder. The product is not assembled yet: this runs the programs
# that exist so far.
set -euo pipefail
build="${1:-build/default}"
for bench in "${build}"/bin/*_bench; do
  [ -x "${bench}" ] || continue
  echo "== ${bench}"
  "${bench}" --benchmark_min_time=0.2
done
