#!/usr/bin/env bash
# Fuzzes the skin image path (bytes -> load -> set images -> paint) with libFuzzer under the
# address and undefined-behaviour sanitizers, for a number of seconds (default 300).
# Needs clang and its runtime (Debian: clang, libclang-rt-14-dev) and a build/ from build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
out=build/fuzz
mkdir -p "$out/corpus"
moc=$(find /usr/lib -path '*qt6/libexec/moc' | head -n 1)
"$moc" src/skin/SkinButton.h -o "$out/moc_SkinButton.cpp"
clang++ -std=c++20 -g -O1 -fPIC -DKT_LIBFUZZER -DQT_NO_KEYWORDS \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Ibuild/include/kt_skin -Isrc/skin $(pkg-config --cflags Qt6Widgets) \
  tests/skin/BmpFuzzTarget.cpp src/skin/BmpFile.cpp src/skin/SkinButton.cpp "$out/moc_SkinButton.cpp" \
  $(pkg-config --libs Qt6Widgets) -o "$out/fuzz_bmp"
# Seeds: the built-in images, as a skin folder holds them.
QT_QPA_PLATFORM=offscreen build/src/kinetrope --export-skin "$out/corpus" >/dev/null
QT_QPA_PLATFORM=offscreen "$out/fuzz_bmp" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 "$out/corpus"
