#!/usr/bin/env bash
# Installs what is needed, builds what the demo runs (the test command builds the rest) and runs
# the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default --target gamehost battle.dll ostrel testserver demo_arena
bash scripts/run-demo.sh build/default
