#!/usr/bin/env bash
# Benchmark: one message with a 100 MB attachment in base64 to a local smtp-sink (Debian's postfix
# package), sent by postrel and, in the same run, the same message pre-encoded by curl --upload-file.
# Needs postfix (for smtp-sink) and curl installed by hand; not part of the tests.
#   bench/postrel/run.sh [BUILD_DIR] [SIZE_MB]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
build="${1:-$root/build}"
size="${2:-100}"
work="$(mktemp -d /tmp/postrel-bench-XXXXXX)"
trap 'kill "$sink" 2>/dev/null || true; rm -rf "$work"' EXIT

g++ -O2 -std=c++20 -I"$root/postrel" "$here/bench_postrel.cpp" -L"$build/Pagero" -lpostrel \
    -Wl,-rpath,"$build/Pagero" -o "$work/bench_postrel"
head -c "${size}M" /dev/urandom > "$work/attachment.bin"
/usr/bin/python3 "$here/make_message.py" "$work/attachment.bin" "$work/message.eml"

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
/usr/sbin/smtp-sink -u nobody 127.0.0.1:"$port" 100 &
sink=$!
sleep 0.5

bytes=$(stat -c %s "$work/attachment.bin")
for round in 1 2 3 4 5; do
  "$work/bench_postrel" 127.0.0.1 "$port" "$work/attachment.bin" M
  /usr/bin/time -o "$work/curl.time" -f "%e %U %S" \
    curl -s --url "smtp://127.0.0.1:$port" --mail-from bench@example.org --mail-rcpt sink@example.org \
         --upload-file "$work/message.eml"
  read -r wall user sys < "$work/curl.time"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v b="$bytes" 'BEGIN {
    printf "curl:    %.0f MB file (pre-encoded) sent in %.3f s (%.1f MB/s of file), client CPU %.2f s\n",
           b / 1e6, w, b / 1e6 / w, u + s }'
done
