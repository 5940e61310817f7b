#!/usr/bin/env bash
# Runs the demo from a build folder: the test server on loopback with the demo's script
# (data/demo/server.txt: the time of day, a day phase, a weather fade, a sync ping, the quit after
# a few seconds), then the host program, headless (ARENA_DISPLAY=sdl shows a window instead), with
# the front-end stand-in, in the folder BUILD/demo (or FOLDER). The game enters the demo arena and
# draws it until the quit; the last frame shown is kept as "frame.png" (ARENA_FRAME_FILE names
# another file). It ends with a summary of how far the game got and exits non-zero when that is
# less than the game can do today. Nothing is left running, whatever happens.
#   run-demo.sh [BUILD [FOLDER]]
# DEMO_PORT=N skips the test server and points the game at 127.0.0.1 port N instead; the summary
# judges the login and the world by what the test server received, so it then reports neither.
# DEMO_SERVER_SCRIPT=FILE gives the test server another script than the demo's.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-build/default}" && pwd)"
bin="${build}/bin"
demo="${2:-${build}/demo}"

for program in testserver gamehost ostrel.dll battle.dll; do
  if [ ! -e "${bin}/${program}" ]; then
    echo "run-demo: ${bin}/${program} is missing: build the project first" >&2
    exit 1
  fi
done

mkdir -p "${demo}"
demo="$(cd "${demo}" && pwd)"
# The arena's pack and height map, the equipment pack, the design screen's pack and the loading
# picture.
for file in arena.r3x arena.amp Equip.r3x Design.r3x load.bmp; do
  if [ ! -e "${demo}/${file}" ]; then
    ln -s "${build}/demo/${file}" "${demo}/${file}"
  fi
done
cd "${demo}"
frame="${ARENA_FRAME_FILE:-${demo}/frame.png}"
# Each demo shows its own game: the game appends to an existing log.
rm -f arena.log server.log frontend.log barf.txt zq*.bmp "${frame}"
touch server.log

server_pid=""
stop_server() {
  if [ -n "${server_pid}" ] && kill -0 "${server_pid}" 2>/dev/null; then
    kill "${server_pid}" 2>/dev/null || true
  fi
  if [ -n "${server_pid}" ]; then
    wait "${server_pid}" 2>/dev/null || true
  fi
}
trap stop_server EXIT

port="${DEMO_PORT:-}"
if [ -n "${port}" ]; then
  echo "== no test server: the game is pointed at 127.0.0.1 port ${port}"
else
  "${bin}/testserver" --address 127.0.0.1 --port 0 --script "${DEMO_SERVER_SCRIPT:-${repo}/data/demo/server.txt}" \
    > server.log 2>&1 &
  server_pid=$!

  # The server's first line gives its ports.
  for _ in $(seq 1 100); do
    port="$(sed -n 's/^testserver: listening on [0-9.]* tcp port \([0-9]*\) .*/\1/p' server.log)"
    [ -n "${port}" ] && break
    if ! kill -0 "${server_pid}" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  if [ -z "${port}" ]; then
    echo "run-demo: the test server did not start:" >&2
    cat server.log >&2
    exit 1
  fi
  echo "== test server on 127.0.0.1 port ${port}"
fi

echo "== gamehost"
status=0
# The front-end stand-in reports each game on standard error: kept for the summary and shown.
OSTREL_SERVER=127.0.0.1 OSTREL_PORT="${port}" OSTREL_PACK=arena.r3x OSTREL_WORLD=arenapc.wld \
  OSTREL_LOGIN="demo pilot" OSTREL_GAMES=1 ARENA_FRAME_FILE="${frame}" \
  timeout 120 "${bin}/gamehost" 2> frontend.log || status=$?
cat frontend.log >&2
echo "gamehost exited with status ${status}"

# The server ends by itself once the game has closed the connection.
for _ in $(seq 1 50); do
  [ -n "${server_pid}" ] && kill -0 "${server_pid}" 2>/dev/null || break
  sleep 0.1
done
stop_server
server_pid=""

if [ -z "${DEMO_PORT:-}" ]; then
  echo "== what the server received"
  cat server.log
fi
echo "== the game's log: ${demo}/arena.log"
cat arena.log 2>/dev/null || true

# How far the game got, in stages: the server saw the login text, then the system report that
# the game sends only once the login has its answer, then the answer to its sync ping, which only
# a frame of the started world gives.
received() { grep -q " $1 " server.log; }
reached=0
login="no"
if received MSG_LOGIN; then
  reached=1
  login="sent, but not answered"
fi
if received MSG_SYSTEM_INFO; then
  reached=2
  login="yes, and the system report sent"
fi
world="no"
if [ "${reached}" -eq 2 ] && received MSG_SYNC_PING; then
  reached=3
  world="yes"
fi
frames="$(sed -n 's/^ostrel\.dll: game 1: .*, \([0-9]*\) frames shown$/\1/p' frontend.log)"
# How far the game must get today: the world started and its frames drawn (stage 3).
required=3

captures="$(find . -maxdepth 1 -name 'zq*.bmp' | wc -l)"
echo "== summary"
echo "logged in:     ${login}"
echo "world started: ${world}"
echo "frames drawn:  ${frames:-unknown (the game did not return to the front end)}"
echo "game log:      ${demo}/arena.log"
if [ -e barf.txt ]; then
  echo "barf.txt:      ${demo}/barf.txt"
else
  echo "barf.txt:      not written"
fi
if [ -e "${frame}" ]; then
  echo "last frame:    ${frame}"
else
  echo "last frame:    none shown"
fi
echo "pictures:      ${captures} screen captures (zq*.bmp) in ${demo}"
if [ "${status}" -ne 0 ]; then
  echo "result:        gamehost failed with status ${status}"
  exit "${status}"
fi
if [ "${reached}" -lt "${required}" ]; then
  echo "result:        the game did not get as far as it should (into the arena, drawing frames)"
  exit 1
fi
echo "result:        the game got as far as it should (into the arena, drawing frames)"
