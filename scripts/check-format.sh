#!/usr/bin/env bash
# Fails when a tracked C or C++ source is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' '*.hpp' '*.c' | xargs -0 clang-format --dry-run -Werror
echo "format check: clean"
