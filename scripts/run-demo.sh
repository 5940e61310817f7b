#!/usr/bin/env bash
# Runs the demo from a build folder: the test server on loopback, then the host program, headless
# (ARENA_DISPLAY=sdl shows a window instead), with the front-end stand-in, in the folder
# BUILD/demo. The game logs in, reports the machine to the server, starts its world, returns to
# the front end, and the host quits. Nothing is left running, whatever happens.
set -euo pipefail
build="$(cd "${1:-build/default}" && pwd)"
bin="${build}/bin"
demo="${build}/demo"

for program in testserver gamehost ostrel.dll battle.dll; do
  if [ ! -e "${bin}/${program}" ]; then
    echo "run-demo: ${bin}/${program} is missing: build the project first" >&2
    exit 1
  fi
done

mkdir -p "${demo}"
cd "${demo}"
# Each demo shows its own game: the game appends to an existing log.
rm -f arena.log server.log

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

"${bin}/testserver" --address 127.0.0.1 --port 0 > server.log 2>&1 &
server_pid=$!

# The server's first line gives its ports.
port=""
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

echo "== gamehost"
status=0
OSTREL_SERVER=127.0.0.1 OSTREL_PORT="${port}" OSTREL_PACK=arena.r3x OSTREL_WORLD=arenapc.wld \
  OSTREL_LOGIN="demo pilot" OSTREL_GAMES=1 \
  timeout 120 "${bin}/gamehost" || status=$?
echo "gamehost exited with status ${status}"

# The server ends by itself once the game has closed the connection.
for _ in $(seq 1 50); do
  kill -0 "${server_pid}" 2>/dev/null || break
  sleep 0.1
done
stop_server
server_pid=""

echo "== what the server received"
cat server.log
echo "== the game's log: ${demo}/arena.log"
cat arena.log
exit "${status}"
