#!/usr/bin/env bash
# The demo against a port where nothing listens: the login is refused at once, the front-end
# stand-in reports the game's end, and the summary says how far the game got and fails the run.
set -uo pipefail
source "$(dirname "$0")/demo_run.sh" "$1" "$2"

# Port 1 on loopback: nothing listens there, so the connection is refused.
run_demo DEMO_PORT=1
expect_status 1
expect "logged in:     no"
expect "world started: no"
expect "frames drawn:  0"
expect "game log:      ${folder}/arena.log"
expect "result:        the game did not get as far as it should (into the arena, drawing frames)"
grep -q "^ostrel\.dll: game 1: the game library returned to the front end (result 1 or 3) after [0-9.]* s, 0 frames shown$" <<< "${output}" ||
  fail "no line from the front-end stand-in"
[ -e "${folder}/arena.log" ] || fail "no arena.log"
echo "ok"
