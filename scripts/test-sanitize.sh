#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers into build-asan/ and
# runs the fast and GUI tests there, under a virtual display. Any report fails its test.
# Extra arguments go to ctest (for example: -R test_playlist).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# -O1 -g1: the checks need no more, and CI builds this beside the normal build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1" \
  -DKT_SANITIZE=ON -DKT_BENCH=OFF "${launcher[@]}" >/dev/null
start=$(date +%s)
cmake --build build-asan
echo "sanitizer build: $(( $(date +%s) - start )) s"
cd build-asan
rm -rf test-tmp
unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER
export LIBGL_ALWAYS_SOFTWARE=1
# Leaks are not checked: the GL, font and sound libraries keep what they allocate for the
# process's life. Every other report stops the process, and so fails its test.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The soak and the instance storm measure the program, not its checks: they run in the plain build.
exec ../scripts/run-ctest.sh --output-on-failure --no-tests=error -j"$(nproc)" -L 'fast|gui' -E '^test_instance_storm$' --timeout 900 "$@"
