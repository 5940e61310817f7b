#!/usr/bin/env bash
# The demo against a port where nothing listens: the login is refused at once, the front-end
# stand-in reports the game's end, and the summary says how far the game got and fails the run.
set -uo pipefail
repo="$1"
build="$2"
folder="$(mktemp -d)"
trap 'rm -rf "${folder}"' EXIT

# Port 1 on loopback: nothing listens there, so the connection is refused.
output="$(DEMO_PORT=1 bash "${repo}/scripts/run-demo.sh" "${build}" "${folder}" 2>&1)"
status=$?
fail() {
  echo "FAIL: $1" >&2
  echo "${output}" >&2
  exit 1
}
[ "${status}" -eq 1 ] || fail "exit status ${status}, expected 1"
expect() {
  grep -qxF -- "$1" <<< "${output}" || fail "missing line: $1"
}
expect "logged in:     no"
expect "world started: no"
expect "frames drawn:  0"
expect "game log:      ${folder}/arena.log"
expect "result:        the game did not get as far as it should (into the arena, drawing frames)"
grep -q "^ostrel\.dll: game 1: the game library returned to the front end (result 1 or 3) after [0-9.]* s, 0 frames shown$" <<< "${output}" ||
  fail "no line from the front-end stand-in"
[ -e "${folder}/arena.log" ] || fail "no arena.log"
echo "ok"
