#!/usr/bin/env bash
# Builds the libFuzzer targets of postrel with Debian's clang into the folder given (default ./out).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$here/../../postrel"
out="${1:-$here/out}"
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$src")
clang++ "${flags[@]}" "$here/fuzz_reply.cpp" "$src/ReplyReader.cpp" -o "$out/fuzz_reply"
clang++ "${flags[@]}" "$here/fuzz_message.cpp" "$src/MessageBuilder.cpp" -o "$out/fuzz_message"
clang++ "${flags[@]}" "$here/fuzz_encoding.cpp" "$src/Encoders.cpp" -o "$out/fuzz_encoding"
clang++ "${flags[@]}" "$here/fuzz_ehlo.cpp" "$src/Extensions.cpp" -o "$out/fuzz_ehlo"
