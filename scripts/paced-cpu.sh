#!/usr/bin/env bash
# How much of one core the game uses in the demo arena with the board's 60 Hz pacing on: runs the
# demo (scripts/run-demo.sh, headless) with the quit moved later, waits until the game answers
# the server's sync ping (its first frames are drawn), then reads the game process's user and
# system time from /proc/PID/stat over SECONDS of wall time and prints their share of one core.
#   paced-cpu.sh [BUILD [SECONDS]]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-build/default}" && pwd)"
seconds="${2:-10}"

folder="$(mktemp -d)"
demo_pid=""
cleanup() {
  if [ -n "${demo_pid}" ]; then
    wait "${demo_pid}" 2>/dev/null || true
  fi
  rm -rf "${folder}"
}
trap cleanup EXIT

# The demo's script with the quit after the measurement and a margin for the world start.
quit_at=$(((seconds + 8) * 1000))
sed "s/^at [0-9]* \(after MSG_SYSTEM_INFO tcp KIND_SESSION MSG_QUIT\)$/at ${quit_at} \1/" \
  "${repo}/data/demo/server.txt" > "${folder}/server.txt"
grep -q "^at ${quit_at} .*MSG_QUIT$" "${folder}/server.txt" || {
  echo "paced-cpu: no MSG_QUIT line to move in data/demo/server.txt" >&2
  exit 1
}

DEMO_SERVER_SCRIPT="${folder}/server.txt" ARENA_DISPLAY=headless \
  bash "${repo}/scripts/run-demo.sh" "${build}" "${folder}/demo" > "${folder}/run.log" 2>&1 &
demo_pid=$!

# The game is the gamehost below the demo script's `timeout`.
game=""
for _ in $(seq 1 200); do
  for child in $(pgrep -P "${demo_pid}" || true); do
    for grandchild in $(pgrep -P "${child}" -x gamehost || true); do
      game="${grandchild}"
    done
  done
  [ -n "${game}" ] && break
  sleep 0.05
done
if [ -z "${game}" ]; then
  echo "paced-cpu: the game did not start" >&2
  cat "${folder}/run.log" >&2
  exit 1
fi

# In the arena once the server has the answer to its sync ping (a frame of the started world).
for _ in $(seq 1 300); do
  grep -q " MSG_SYNC_PING " "${folder}/demo/server.log" 2>/dev/null && break
  sleep 0.05
done
grep -q " MSG_SYNC_PING " "${folder}/demo/server.log" || {
  echo "paced-cpu: the game did not enter the arena" >&2
  exit 1
}

# utime and stime: fields 14 and 15, counted after the command name's closing parenthesis.
cpu_ticks() {
  local stat
  stat="$(cat "/proc/${game}/stat")"
  stat="${stat##*) }"
  set -- ${stat}
  echo $((${12} + ${13}))
}
ticks_per_second="$(getconf CLK_TCK)"
start_ticks="$(cpu_ticks)"
start_time="$(date +%s.%N)"
sleep "${seconds}"
end_ticks="$(cpu_ticks)"
end_time="$(date +%s.%N)"

wait "${demo_pid}" || {
  echo "paced-cpu: the demo failed" >&2
  cat "${folder}/run.log" >&2
  exit 1
}
demo_pid=""
frames="$(sed -n 's/^frames drawn: *\([0-9]*\)$/\1/p' "${folder}/run.log")"
awk -v ticks=$((end_ticks - start_ticks)) -v hz="${ticks_per_second}" -v t0="${start_time}" \
  -v t1="${end_time}" -v frames="${frames:-?}" 'BEGIN {
    wall = t1 - t0
    printf "paced demo: %.1f%% of one core over %.1f s (%.2f s of CPU; %s frames in the whole run)\n",
      100 * ticks / hz / wall, wall, ticks / hz, frames
  }'
