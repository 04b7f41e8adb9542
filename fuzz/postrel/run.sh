#!/usr/bin/env bash
# Runs every target for SECONDS_EACH seconds (default 240) with a corpus folder of its own.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/out}"
each="${SECONDS_EACH:-240}"
for target in fuzz_reply fuzz_message fuzz_encoding fuzz_ehlo; do
  mkdir -p "$out/corpus-$target"
  (cd "$out" && "./$target" -max_total_time="$each" -print_final_stats=1 "corpus-$target" > "$target.log" 2>&1)
  echo "$target exit $?"
done
