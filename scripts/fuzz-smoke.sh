#!/usr/bin/env bash
# Runs every fuzz target of a build for a few seconds from its seeds (fuzz/corpus/NAME and the
# build's fuzz_seeds/NAME, made by mkdata, where they exist), in a scratch folder.
# Usage: fuzz-smoke.sh BUILD_DIR SECONDS
set -euo pipefail
build="$(cd "$1" && pwd)"
seconds="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT

count=0
for target in "${build}"/bin/*_fuzz; do
  [ -x "${target}" ] || continue
  name="$(basename "${target}")"
  corpus="${scratch}/${name}"
  mkdir -p "${corpus}"
  for seeds in "${root}/fuzz/corpus/${name}" "${build}/fuzz_seeds/${name}"; do
    if [ -d "${seeds}" ]; then
      cp -r "${seeds}/." "${corpus}/"
    fi
  done
  echo "-- ${name}: ${seconds} s"
  log="${scratch}/${name}.log"
  if ! (cd "${scratch}" && "${target}" -max_total_time="${seconds}" "${corpus}" >"${log}" 2>&1); then
    cat "${log}"
    echo "fuzz target ${name} failed"
    exit 1
  fi
  tail -n 1 "${log}"
  count=$((count + 1))
done
echo "fuzz targets run: ${count}"
