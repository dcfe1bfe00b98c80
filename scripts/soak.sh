#!/usr/bin/env bash
# Plays a 1,000-entry random looping list of short clips at 5x with frame steps and seeks for
# a number of minutes (default 30), sampling memory, descriptors and threads; fails when they
# grow after warm-up. Needs a build/ from scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-30}"
cmake --build build --target soak_player >/dev/null
cd build
mkdir -p test-tmp
unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER
export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb KT_TEST_TMP=$PWD/test-tmp
exec ../tests/support/own-display.sh tests/ui/soak_player "$minutes"
