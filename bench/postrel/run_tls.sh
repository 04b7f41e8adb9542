#!/usr/bin/env bash
# Benchmark over TLS: one message with a 100 MB base64 attachment to smtp-sink behind stunnel4 (TLS
# from the first byte), sent by postrel and, alternating in the same run, the same message
# pre-encoded by curl --ssl-reqd. Both verify the server against the same test CA.
# Needs postfix (for smtp-sink), stunnel4 and curl installed by hand; not part of the tests.
#   bench/postrel/run_tls.sh [BUILD_DIR] [SIZE_MB]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
build="${1:-$root/build}"
size="${2:-100}"
work="$(mktemp -d /tmp/postrel-bench-XXXXXX)"
sink=""
tunnel=""
trap 'kill $sink $tunnel 2>/dev/null || true; rm -rf "$work"' EXIT

g++ -O2 -std=c++20 -I"$root/postrel" "$here/bench_postrel.cpp" -L"$build/Pagero" -lpostrel \
    -Wl,-rpath,"$build/Pagero" -o "$work/bench_postrel"
head -c "${size}M" /dev/urandom > "$work/attachment.bin"
/usr/bin/python3 "$here/make_message.py" "$work/attachment.bin" "$work/message.eml"

# A test CA and a certificate for localhost.
(cd "$work" &&
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key -out ca.pem -days 1 \
    -subj '/CN=bench CA' -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign &&
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout server.key -out server.csr \
    -subj /CN=localhost &&
  printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' > server.ext &&
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 1 -out server.pem \
    -extfile server.ext) >/dev/null 2>&1

free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
plain=$(free_port)
tls=$(free_port)
/usr/sbin/smtp-sink -u nobody 127.0.0.1:"$plain" 100 &
sink=$!
cat > "$work/stunnel.conf" <<CONF
foreground = yes
pid =
[smtps]
accept = 127.0.0.1:$tls
connect = 127.0.0.1:$plain
cert = $work/server.pem
key = $work/server.key
CONF
stunnel4 "$work/stunnel.conf" 2>/dev/null &
tunnel=$!
sleep 1

bytes=$(stat -c %s "$work/attachment.bin")
for round in 1 2 3 4 5; do
  "$work/bench_postrel" localhost "$tls" "$work/attachment.bin" M 2 "$work/ca.pem"
  /usr/bin/time -o "$work/curl.time" -f "%e %U %S" \
    curl -s --ssl-reqd --cacert "$work/ca.pem" --url "smtps://localhost:$tls" --mail-from bench@example.org \
         --mail-rcpt sink@example.org --upload-file "$work/message.eml"
  read -r wall user sys < "$work/curl.time"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v b="$bytes" 'BEGIN {
    printf "curl (TLS): %.0f MB file (pre-encoded) sent in %.3f s (%.1f MB/s of file), client CPU %.2f s\n",
           b / 1e6, w, b / 1e6 / w, u + s }'
done
