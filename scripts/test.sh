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
exec xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX" \
  ctest --output-on-failure --no-tests=error -j"$(nproc)" "$@"
