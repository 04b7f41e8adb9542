#!/usr/bin/env bash
# Benchmark: 20 photos of 5 MB as one message to a local smtp-sink (Debian's postfix package),
# through the send-mail window and through the SMTP library alone, alternating in the same run.
# Build with -DPAGERO_BUILD_BENCH=ON first (target mail_window_bench).
#   bench/mail/run.sh [BUILD_DIR] [FILES] [MB] [ROUNDS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
/usr/sbin/smtp-sink -u nobody 127.0.0.1:"$port" 100 &
sink=$!
trap 'kill "$sink" 2>/dev/null || true' EXIT
sleep 0.5
"$build/bench/mail/mail_window_bench" "$port" "${2:-20}" "${3:-5}" "${4:-3}"
