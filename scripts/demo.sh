#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
bash scripts/run-demo.sh build/default
