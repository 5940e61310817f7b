#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a Debian 12 machine (run as root).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format git
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev
  libsdl2-dev
  bison
  libfreetype-dev fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
