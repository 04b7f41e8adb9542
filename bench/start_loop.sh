#!/bin/bash
# Starts the program N times under one long-running Xvfb, each run ended by SIGTERM after WAIT
# seconds, alternating with ImageMagick's `display` on the same display. Prints the failed starts
# ("could not connect to display"), the X clients still connected after each run and any process
# left behind. Usage: bench/start_loop.sh [build-dir] [N] (WAIT=2.5, DISPLAY_NUMBER=97 by default)
set -u
BUILD=${1:-build}; N=${2:-85}; WAIT=${WAIT:-2.5}; D=${DISPLAY_NUMBER:-97}
BIN=$(realpath "$BUILD/Pagero/pagero")
WORK=$(mktemp -d); trap 'kill $XP 2>/dev/null; rm -rf "$WORK"' EXIT
cp -r "$(dirname "$BIN")" "$WORK/prog"; mkdir -p "$WORK/cfg" "$WORK/run" "$WORK/home"; chmod 700 "$WORK/run"
Xvfb :$D -screen 0 1920x1080x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XP=$!; sleep 1
clients() { echo $(( $(ls -l /proc/$XP/fd | grep -c socket) - 2 )); }   # minus the two listeners
run() {   # run NAME COMMAND...: starts it, ends it after WAIT s, prints a line, returns 1 on a failed start
    local name=$1; shift
    env -i PATH=/usr/bin:/bin HOME="$WORK/home" DISPLAY=:$D PAGERO_EXEDIR="$WORK/prog" \
        PAGERO_CONFIGDIR="$WORK/cfg" XDG_RUNTIME_DIR="$WORK/run" "$@" >"$WORK/out" 2>&1 &
    local p=$!
    sleep "$WAIT"; kill -TERM $p 2>/dev/null
    for _ in $(seq 50); do kill -0 $p 2>/dev/null || break; sleep 0.1; done
    kill -KILL $p 2>/dev/null; wait $p 2>/dev/null
    local failed=0; grep -q "could not connect\|unable to open display" "$WORK/out" && failed=1
    echo "$name failed=$failed xclients=$(clients) left=[$(pgrep -f "$WORK" | grep -v "^$XP$" | tr '\n' ' ')]"
    return $failed
}
ours=0; theirs=0
for i in $(seq "$N"); do
    run "pagero $i" "$BIN" "$WORK/prog/Samples" || ours=$((ours + 1))
    run "display $i" display "$WORK/prog/Samples/Meadow.jpg" || theirs=$((theirs + 1))
done
echo "failed starts: pagero $ours of $N, display $theirs of $N"
