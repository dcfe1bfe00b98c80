#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite under a virtual display.
# Extra arguments go to ctest (for example: -L fast, or -LE gui).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
rm -rf test-tmp
# Tests start their own session bus and sound server where they need one.
unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER
export LIBGL_ALWAYS_SOFTWARE=1
exec ../scripts/run-ctest.sh --output-on-failure --no-tests=error -j"$(nproc)" "$@"
