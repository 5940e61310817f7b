#!/usr/bin/env bash
# Runs probex headless in a scratch folder: once as it starts (its report and its problem word as
# exit status), once with a scripted click of "Ping Server" pinging 127.0.0.1 from "ip.dat".
set -uo pipefail
probex="$1"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1

fail() {
  echo "FAIL: $*"
  echo "--- output"
  cat out.txt err.txt
  exit 1
}

"$probex" >out.txt 2>err.txt
status=$?
word=$(sed -n 's/^problem word: 0x\([0-9A-F]*\)$/\1/p' out.txt)
[ -n "$word" ] || fail "no problem word printed"
expected=$((16#$word > 255 ? 255 : 16#$word))
[ "$status" -eq "$expected" ] || fail "exit status $status for problem word 0x$word"
grep -q '^Kelvane System Check$' out.txt || fail "no caption"
grep -q '^1008 OS: Microsoft Windows 95 4.0 (Build: 950)$' out.txt || fail "no OS line"
grep -q '^1044 PING TIME: localhost$' out.txt || fail "no default server name"
if [ "$word" = "000" ]; then
  grep -q '^1028 Comments: Everything seems to be ok.....Start Kelvane$' out.txt ||
    fail "no all-clear"
fi
echo "probex headless: problem word 0x$word, exit status $status"

# The "Ping Server" button's centre in the window's pixels, clicked 100 ms after the start. The
# headless dialog closes when the script has no more events: the last one, at 2 s, leaves
# loopback's ten echoes time enough.
echo "127.0.0.1" >ip.dat
printf '100 mouse_down left 226 409\n120 mouse_up left 226 409\n2000 mouse_move 0 0\n' >click.txt
ARENA_INPUT_SCRIPT=click.txt "$probex" >out.txt 2>err.txt
result=$(sed -n 's/^1014 PING TIME: //p' out.txt)
if grep -q '^Probex: UNABLE TO PING!$' err.txt; then
  echo "probex ping: this machine forbids ICMP sockets to this user; the real ICMP path was not run"
  exit 0
fi
[[ "$result" =~ ^[0-9]+ms$ ]] || fail "ping of 127.0.0.1 shows '$result'"
grep -q '^1026 icon: 149$' out.txt || fail "no pass icon for the ping"
echo "probex ping of 127.0.0.1: $result"
