#!/usr/bin/env bash
# The demo with its test server, headless: the game logs in, enters the demo arena, draws at
# least MIN_FRAMES frames (60 by default) until the server's quit and returns; it leaves its log,
# "barf.txt" and the last frame, which must look like the arena under a sky.
#   demo_in_arena_test.sh SOURCE BUILD [MIN_FRAMES]
set -uo pipefail
min_frames="${3:-60}"
source "$(dirname "$0")/demo_run.sh" "$1" "$2"

run_demo ARENA_DISPLAY= ARENA_FRAME_FILE=
expect_status 0
expect "logged in:     yes, and the system report sent"
expect "world started: yes"
expect "game log:      ${folder}/arena.log"
expect "barf.txt:      ${folder}/barf.txt"
expect "last frame:    ${folder}/frame.png"
expect "result:        the game got as far as it should (into the arena, drawing frames)"
frames="$(sed -n 's/^frames drawn:  \([0-9]*\)$/\1/p' <<< "${output}")"
[ -n "${frames}" ] && [ "${frames}" -ge "${min_frames}" ] ||
  fail "frames drawn: ${frames:-none}, expected ${min_frames} or more"
[ -e "${folder}/arena.log" ] || fail "no arena.log"
grep -q "^Stat dump$" "${folder}/barf.txt" || fail "barf.txt does not start with its title"

# The picture: 640 x 480, many colours, and the top rows of the 3D view the sky's (bluer than
# green, at least as blue as red, and not one colour: clouds drift across it).
python3 - "${folder}/frame.png" <<'PYTHON' || fail "the last frame does not look like the arena"
import struct
import sys
import zlib

data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
at, width, height, idat = 8, 0, 0, b""
while at < len(data):
    (length,) = struct.unpack(">I", data[at:at + 4])
    kind = data[at + 4:at + 8]
    if kind == b"IHDR":
        width, height = struct.unpack(">II", data[at + 8:at + 16])
    elif kind == b"IDAT":
        idat += data[at + 8:at + 8 + length]
    at += 12 + length
assert (width, height) == (640, 480), f"size {width} x {height}"
raw = zlib.decompress(idat)
stride = 1 + width * 3
assert all(raw[y * stride] == 0 for y in range(height)), "unexpected row filter"

def pixel(x, y):
    start = y * stride + 1 + x * 3
    return tuple(raw[start:start + 3])

colours = {pixel(x, y) for y in range(0, height, 2) for x in range(0, width, 2)}
assert len(colours) >= 16, f"only {len(colours)} colours"
top = [pixel(x, y) for y in range(16) for x in range(0, width, 2)]
sky = [p for p in top if p[2] > p[1] and p[2] >= p[0]]
assert len(sky) >= 0.9 * len(top), f"{len(sky)} of {len(top)} top pixels look like sky"
assert len(set(top)) > 1, "the sky is one colour"
PYTHON
echo "ok"
